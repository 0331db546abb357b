#include "store/QLZipError.h"

namespace vexa {

const char* const QLZipError::kDomain = "VXZipErrorDomain";

}  // namespace vexa
