// MD5 digests (RFC 1321) as hexadecimal text. Used for request signatures,
// cache file names and text keys; not for security.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

class Md5 {
 public:
  static std::string lowerHex(std::string_view bytes);
  static std::string upperHex(std::string_view bytes);
};

}  // namespace vexa
