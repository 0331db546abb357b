#include "vexa/api/QLDownloadError.h"

namespace vexa {

const char* const QLDownloadError::kDomain = "VXDownloadErrorDomain";

}  // namespace vexa
