#include "vexa/api/QLDownloadProgress.h"

#include <algorithm>

namespace vexa {

double QLDownloadProgress::share(size_t chunkBytes, int64_t totalBytesExpected, size_t parts) {
  if (totalBytesExpected <= 0 || parts == 0) return 0;
  return static_cast<double>(chunkBytes) / static_cast<double>(totalBytesExpected) /
         static_cast<double>(parts);
}

void QLDownloadProgress::advance(QLPackage& package, double share) {
  if (!(share > 0)) return;
  double next = std::max(package.progress(), 0.0) + share;
  if (next < 1.0) package.setProgress(next);
}

void QLDownloadProgress::raise(QLPackage& package, double floor) {
  if (package.progress() < floor) package.setProgress(floor);
}

}  // namespace vexa
