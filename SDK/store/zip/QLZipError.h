// Errors of zip reading and writing ("VXZipErrorDomain").
#pragma once

#include <cstdint>
#include <string>

#include "vexa/platform/Error.h"

namespace vexa {

class QLZipError {
 public:
  static const char* const kDomain;  // "VXZipErrorDomain"

  enum class Code : int64_t {
    kOpenFailed = 1,        // the archive could not be opened or created
    kEntryOpenFailed = 2,   // an entry could not be opened (bad method, password, header)
    kEntryInfoFailed = 3,   // an entry's description could not be read
    kUnsafeName = 4,        // the entry's name would leave the destination, or is unusable
    kSymbolicLink = 5,      // the entry is a symbolic link
    kLinkInPath = 6,        // writing would go through an existing link
    kTooLarge = 7,          // the archive inflates beyond the byte limit
    kTooManyEntries = 8,    // the archive holds more entries than the limit
    kCorrupt = 9,           // read error, CRC mismatch or size mismatch in an entry
    kWriteFailed = 10,      // the destination could not be written
    kNotOpen = 11,          // no archive is open for the operation
    kBadPassword = 12,      // an encrypted entry's check byte does not match the password
  };
  using enum Code;
  friend constexpr bool operator==(int64_t value, Code code) {
    return value == static_cast<int64_t>(code);
  }

  static Error make(Code code, std::string description) {
    return makeError<QLZipError>(code, std::move(description));
  }
};

}  // namespace vexa
