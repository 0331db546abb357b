#include "vexa/store/zip/QLZipError.h"

namespace vexa {

const char* const QLZipError::kDomain = "VXZipErrorDomain";

}  // namespace vexa
