// A process-wide count of the record changes that can move what a code
// lookup answers: the emojis set of a package, or the code set of an
// emoji, that a code index holds. Records carry no link to the stores that
// list them, so a store's code index compares this count (with its own
// list generation) to know when to rebuild. Safe on any thread.
#pragma once

#include <cstdint>

namespace vexa {

class QLRecordChanges {
 public:
  static uint64_t count();
  static void note();
};

}  // namespace vexa
