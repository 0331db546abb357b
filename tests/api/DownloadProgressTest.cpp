// The progress rule of package downloads.
#include <gtest/gtest.h>

#include "vexa/api/QLDownloadProgress.h"

namespace vexa {
namespace {

TEST(DownloadProgressTest, ChunksAddTheirShareOnlyWhileBelowOne) {
  struct Case {
    double start;
    size_t chunk;
    int64_t total;
    size_t parts;
    double expected;
  };
  const std::vector<Case> cases = {
      {0, 25, 100, 1, 0.25},      // a quarter of the body
      {0.5, 25, 100, 4, 0.5625},  // one of four images
      {-1, 10, 100, 1, 0.1},      // negative progress counts as 0
      {0.9, 10, 100, 1, 0.9},     // would reach 1: dropped
      {0.95, 10, 100, 1, 0.95},   // would pass 1: dropped
      {0.2, 10, -1, 1, 0.2},      // unknown total: nothing to add
      {0.2, 10, 0, 1, 0.2},
      {-1, 10, -1, 1, -1},        // nothing added leaves it as it was
  };
  for (const auto& c : cases) {
    QLPackage package;
    package.setProgress(c.start);
    QLDownloadProgress::advance(package, QLDownloadProgress::share(c.chunk, c.total, c.parts));
    EXPECT_DOUBLE_EQ(package.progress(), c.expected)
        << c.start << " + " << c.chunk << "/" << c.total << "/" << c.parts;
  }
}

TEST(DownloadProgressTest, HeadStartOnlyRaises) {
  const std::vector<std::tuple<double, double, double>> cases = {
      {0.00001, 0.6, 0.6}, {0.8, 0.6, 0.8}, {0.00001, -1.1, 0.00001}};
  for (const auto& [start, floor, expected] : cases) {
    QLPackage package;
    package.setProgress(start);
    QLDownloadProgress::raise(package, floor);
    EXPECT_DOUBLE_EQ(package.progress(), expected);
  }
}

}  // namespace
}  // namespace vexa
