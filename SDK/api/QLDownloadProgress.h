// The progress rule of package downloads: each received chunk adds its
// share (chunk bytes over the announced total, divided among the parts of
// the download) to the package's progress, counting a negative progress as
// 0, and the sum is kept only while it stays below 1, so that a package
// never shows complete before it is stored. Main thread, like the package.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vexa/store/QLPackage.h"

namespace vexa {

class QLDownloadProgress {
 public:
  // The share of one chunk; 0 when the total is unknown (not positive) or
  // there are no parts.
  static double share(size_t chunkBytes, int64_t totalBytesExpected, size_t parts = 1);
  // Adds `share` to the package's progress under the rule above.
  static void advance(QLPackage& package, double share);
  // Raises the progress to `floor` when it is lower.
  static void raise(QLPackage& package, double floor);
};

}  // namespace vexa
