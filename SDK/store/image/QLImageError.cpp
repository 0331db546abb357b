#include "vexa/store/image/QLImageError.h"

namespace vexa {

const char* const kQLImageErrorDomain = "VXImageErrorDomain";

Error qlImageError(QLImageErrorCode code, std::string description) {
  return Error(kQLImageErrorDomain, static_cast<int64_t>(code), std::move(description));
}

}  // namespace vexa
