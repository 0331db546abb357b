#include "vexa/store/QLStoreError.h"

namespace vexa {

const char* const QLStoreError::kDomain = "VXStoreErrorDomain";

}  // namespace vexa
