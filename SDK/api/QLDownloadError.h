// Errors of the download pipeline and the lookups ("VXDownloadErrorDomain").
// Errors of the service, the HTTP layer and the store pass through with
// their own domains.
#pragma once

#include <cstdint>
#include <string>

#include "vexa/platform/Error.h"

namespace vexa {

class QLDownloadError {
 public:
  static const char* const kDomain;  // "VXDownloadErrorDomain"
  enum class Code : int64_t {
    kNoPackage = 1,     // no package (or one without a guid) was given
    kNoFileHost = 2,    // the package file host is not configured or its URL is bad
    kNotStored = 3,     // the store refused the downloaded package
    kManagerGone = 4,   // the manager went away while the work ran
  };
  using enum Code;
  friend constexpr bool operator==(int64_t value, Code code) {
    return value == static_cast<int64_t>(code);
  }
  static Error make(Code code, std::string description) {
    return makeError<QLDownloadError>(code, std::move(description));
  }
  static Error managerGone() { return make(kManagerGone, "The download manager went away"); }
};

}  // namespace vexa
