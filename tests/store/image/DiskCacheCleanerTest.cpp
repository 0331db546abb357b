#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "vexa/store/image/QLDiskCacheCleaner.h"

namespace vexa {
namespace {

using FileTime = QLDiskCacheCleaner::FileTime;
constexpr int64_t kDay = 24 * 60 * 60;
constexpr int64_t kWeek = 7 * kDay;
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

TEST(DiskCacheCleanerTest, ExpiryIsExactAndNeverOverflows) {
  const FileTime now{1700000000, 500};
  struct Case {
    const char* what;
    FileTime modified;
    int64_t maxAge;
    bool expired;
  } cases[] = {
      {"eight days old, one week kept", {now.seconds - 8 * kDay, 0}, kWeek, true},
      {"six days old", {now.seconds - 6 * kDay, 0}, kWeek, false},
      {"exactly at the limit", {now.seconds - kWeek, 500}, kWeek, true},
      {"a nanosecond short", {now.seconds - kWeek, 501}, kWeek, false},
      {"largest age keeps the epoch", {0, 0}, kMax, false},
      {"largest age keeps the oldest time a file system records", {INT32_MIN, 0}, kMax, false},
      {"largest age keeps the future", {kMax, 0}, kMax, false},
      {"zero age removes everything up to now", {now.seconds, 500}, 0, true},
      {"zero age keeps the future", {now.seconds + 1, 0}, 0, false},
      {"negative age removes the near future", {now.seconds + 10, 0}, -20, true},
      {"smallest age removes even the far future", {kMax, 999999999}, kMin, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QLDiskCacheCleaner::isExpired(c.modified, now, c.maxAge), c.expired) << c.what;
  }
}

std::vector<QLDiskCacheCleaner::FileEntry> files(
    std::initializer_list<std::pair<const char*, uint64_t>> sizes) {
  std::vector<QLDiskCacheCleaner::FileEntry> out;
  int64_t t = 1000;
  for (const auto& [name, size] : sizes) out.push_back({name, {t++, 0}, size});
  return out;
}

TEST(DiskCacheCleanerTest, SizeLimitRemovesOldestUntilBelowHalf) {
  std::vector<std::filesystem::path> removed;
  auto remove = [&](const std::filesystem::path& p) {
    removed.push_back(p);
    return true;
  };
  // Listed newest first: the sort, not the listing, decides.
  auto entries = files({{"sixty", 60}, {"fifty", 50}, {"forty", 40}});
  entries[0].modified = {1, 0};
  entries[1].modified = {2, 0};
  entries[2].modified = {3, 0};
  QLDiskCacheCleaner::clean(entries, {10, 0}, kMax, 100, remove);
  EXPECT_EQ(removed, (std::vector<std::filesystem::path>{"sixty", "fifty"}));

  removed.clear();
  QLDiskCacheCleaner::clean(files({{"a", 60}, {"b", 40}}), {10, 0}, kMax, 100, remove);
  EXPECT_TRUE(removed.empty()) << "100 bytes do not exceed a 100-byte limit";

  removed.clear();
  QLDiskCacheCleaner::clean(files({{"a", 500}}), {10, 0}, kMax, 0, remove);
  EXPECT_TRUE(removed.empty()) << "0 means no limit";
}

TEST(DiskCacheCleanerTest, FailedDeletionsDoNotCount) {
  std::set<std::string> locked{"sixty"};
  auto remove = [&](const std::filesystem::path& p) { return !locked.count(p.string()); };
  auto removed = QLDiskCacheCleaner::clean(
      files({{"sixty", 60}, {"fifty", 50}, {"forty", 40}, {"ten", 10}}), {100, 0}, kMax, 100,
      remove);
  // 160 -> sixty stays (locked), fifty (110), forty (70), ten (60): never below 50.
  EXPECT_EQ(removed, (std::vector<std::filesystem::path>{"fifty", "forty", "ten"}));
}

TEST(DiskCacheCleanerTest, ExpiredFilesGoFirstAndDoNotCountTowardsTheSize) {
  auto entries = files({{"old", 1000}, {"a", 30}, {"b", 30}});
  const FileTime now{kWeek * 2, 0};
  entries[0].modified = {0, 0};
  entries[1].modified = entries[2].modified = {now.seconds - kDay, 0};
  auto removed = QLDiskCacheCleaner::clean(entries, now, kWeek, 100,
                                           [](const std::filesystem::path&) { return true; });
  EXPECT_EQ(removed, (std::vector<std::filesystem::path>{"old"}));
}

}  // namespace
}  // namespace vexa
