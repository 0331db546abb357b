// Random (version 4) UUIDs in the upper-case form with dashes,
// "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
#pragma once

#include <string>

namespace vexa {

class Uuid {
 public:
  static std::string random();
};

}  // namespace vexa
