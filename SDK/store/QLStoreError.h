// Errors of the package store ("VXStoreErrorDomain"). File-system failures
// keep the domain of the layer that had them.
#pragma once

#include <cstdint>
#include <string>

#include "vexa/platform/Error.h"

namespace vexa {

class QLStoreError {
 public:
  static const char* const kDomain;  // "VXStoreErrorDomain"

  enum class Code : int64_t {
    kUnsafeGuid = 1,        // a guid that cannot name a file
    kMalformedRecord = 2,   // a stored file holds something else than expected
    kMissingImage = 3,      // an archive lacks the tab icon or an emoji's files
    kArchiveFailed = 4,     // the archive could not be unpacked (its error is in the text)
    kMoveFailed = 5,        // unpacked files could not be put in place
    kAlreadyStored = 6,     // the package is in the store already (nothing changed)
    kNotDownloaded = 7,     // removing a package that is no downloaded one (nothing changed)
    kCorruptList = 8,       // a list file exists but is no list of guids
  };
  using enum Code;
  friend constexpr bool operator==(int64_t value, Code code) {
    return value == static_cast<int64_t>(code);
  }

  static Error make(Code code, std::string description) {
    return makeError<QLStoreError>(code, std::move(description));
  }
};

}  // namespace vexa
