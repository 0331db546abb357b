#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <limits>
#include <thread>

#include "ImageTestSupport.h"
#include "vexa/platform/ApplicationNotifications.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/store/image/QL_SDImageCache.h"
#include "support/MainQueueTesting.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

using test::argb;
using test::kBlue;
using test::kRed;

class SDImageCacheTest : public ::testing::Test {
 protected:
  std::unique_ptr<QL_SDImageCache> makeCache(const std::string& ns = "test") {
    return std::make_unique<QL_SDImageCache>(ns, dir_.path());
  }
  // Waits until the disk work queued so far has run.
  static void waitForDisk(QL_SDImageCache& cache) {
    bool done = false;
    cache.diskImageExistsWithKey("any", [&](bool) { done = true; });
    ASSERT_TRUE(test::runUntil([&] { return done; }));
  }
  static Bytes fileBytes(const std::filesystem::path& p) {
    auto content = FileSystem::readFile(p);
    return content.ok() ? Bytes(content->begin(), content->end()) : Bytes{};
  }
  static void writeFile(const std::filesystem::path& p, const Bytes& b) {
    std::filesystem::create_directories(p.parent_path());
    ASSERT_TRUE(FileSystem::writeAtomically(p, test::asText(b)).ok());
  }
  static void setModified(const std::filesystem::path& p, int64_t secondsAgo) {
    struct timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= secondsAgo;
    times[1] = times[0];
    ASSERT_EQ(utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
  }

  test::TempDirectory dir_;
};

TEST_F(SDImageCacheTest, NamesAndPaths) {
  EXPECT_EQ(QL_SDImageCache::cachedFileNameForKey(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(QL_SDImageCache::cachedFileNameForKey("http://example.com/a.png"),
            "b876851593b9e119ed73f38561576bda");
  using namespace std::string_view_literals;
  EXPECT_EQ(QL_SDImageCache::cachedFileNameForKey("abc\0def"sv),
            QL_SDImageCache::cachedFileNameForKey("abc"));

  auto store = makeCache("QLPackages");
  EXPECT_EQ(store->diskCachePath(), dir_.path() / "com.tarvel.vexa.QLPackages");
  EXPECT_EQ(store->memCache().name(), "com.tarvel.vexa.QLPackages");
  EXPECT_EQ(store->defaultCachePathForKey("http://example.com/a.png"),
            dir_.path() / "com.tarvel.vexa.QLPackages" / "b876851593b9e119ed73f38561576bda");
  EXPECT_EQ(store->maxCacheAge(), 604800);
  EXPECT_EQ(store->maxCacheSize(), 0u);
  EXPECT_TRUE(store->shouldDecompressImages());

  test::ScopedDataRoot root;
  QL_SDImageCache shared;  // namespace "default" under Caches
  EXPECT_EQ(shared.diskCachePath(), root.path() / "Caches" / "default" / "com.tarvel.vexa.default");
  EXPECT_EQ(QL_SDImageCache::sharedImageCache(), QL_SDImageCache::sharedImageCache());
  EXPECT_EQ(QL_SDImageCache::sharedImageCache()->fullNamespace(), "com.tarvel.vexa.default");
}

TEST_F(SDImageCacheTest, StoredImagesComeBackFromMemoryAndDisk) {
  auto cache = makeCache();
  auto image = test::solidImage(3, 2, kRed, ImageAlphaInfo::PremultipliedFirst, 2);
  cache->storeImage(image, "k");
  EXPECT_EQ(cache->imageFromMemoryCacheForKey("k"), image);
  waitForDisk(*cache);
  EXPECT_TRUE(cache->diskImageExistsWithKey("k"));

  auto fresh = makeCache();
  EXPECT_FALSE(fresh->imageFromMemoryCacheForKey("k"));
  auto fromDisk = fresh->imageFromDiskCacheForKey("k");
  ASSERT_TRUE(fromDisk);
  EXPECT_EQ(fromDisk->pixelWidth(), 3);
  EXPECT_EQ(fromDisk->bitmap().pixel(2, 1), kRed);
  EXPECT_EQ(fresh->imageFromMemoryCacheForKey("k"), fromDisk);
  EXPECT_EQ(fresh->memCache().totalCost(), 6u * 4);  // bytes of its pixels

  cache->storeImage(nullptr, "k2");
  cache->storeImage(image, "");
  EXPECT_EQ(cache->memCache().count(), 1u);
}

TEST_F(SDImageCacheTest, SaveMemoryFlagLeavesMemoryAlone) {
  auto cache = makeCache();
  cache->storeImage(test::solidImage(1, 1, kRed), false, nullptr, "k", true, true);
  EXPECT_FALSE(cache->imageFromMemoryCacheForKey("k"));
  waitForDisk(*cache);
  EXPECT_TRUE(cache->imageFromDiskCacheForKey("k", true));
  EXPECT_FALSE(cache->imageFromMemoryCacheForKey("k"));
  EXPECT_TRUE(cache->imageFromDiskCacheForKey("k"));
  EXPECT_TRUE(cache->imageFromMemoryCacheForKey("k"));
}

TEST_F(SDImageCacheTest, DiskEncodingFollowsTheDataAndTheAlpha) {
  auto cache = makeCache();
  auto opaque = test::solidImage(2, 2, kRed, ImageAlphaInfo::NoneSkipFirst);
  auto translucent = test::solidImage(2, 2, argb(0, 0, 100, 100));
  auto pngData = std::make_shared<const Bytes>(test::fixture("rgb.png"));
  auto jpegData = std::make_shared<const Bytes>(test::fixture("baseline.jpg"));
  auto shortData = std::make_shared<const Bytes>(Bytes{0x89, 'P', 'N'});
  struct Case {
    const char* key;
    std::shared_ptr<const Image> image;
    bool recalculate;
    std::shared_ptr<const Bytes> data;
    const char* expected;  // "png", "jpeg" or "same"
  } cases[] = {
      {"opaque, no data", opaque, true, nullptr, "jpeg"},
      {"alpha, no data", translucent, true, nullptr, "png"},
      {"png data kept", opaque, false, pngData, "same"},
      {"jpeg data kept", translucent, false, jpegData, "same"},
      {"png data recalculated", opaque, true, pngData, "png"},
      {"jpeg data recalculated", translucent, true, jpegData, "jpeg"},
      {"short data counts as none", translucent, true, shortData, "png"},
  };
  for (const auto& c : cases) cache->storeImage(c.image, c.recalculate, c.data, c.key, true);
  waitForDisk(*cache);
  for (const auto& c : cases) {
    Bytes written = fileBytes(cache->defaultCachePathForKey(c.key));
    ASSERT_GE(written.size(), 8u) << c.key;
    if (std::string(c.expected) == "same") {
      EXPECT_EQ(written, *c.data) << c.key;
    } else if (std::string(c.expected) == "png") {
      EXPECT_TRUE(QL_ImageDataHasPNGPreffix(written)) << c.key;
    } else {
      EXPECT_EQ(written[0], 0xFF) << c.key;
      EXPECT_EQ(written[1], 0xD8) << c.key;
    }
  }
}

TEST_F(SDImageCacheTest, EmptyDataNeverReplacesAStoredFile) {
  auto cache = makeCache();
  auto png = std::make_shared<const Bytes>(test::fixture("rgb.png"));
  cache->storeImage(test::solidImage(3, 2, kRed), false, png, "k", true);
  cache->storeImage(test::solidImage(3, 2, kBlue), false, std::make_shared<const Bytes>(), "k", true);
  waitForDisk(*cache);
  auto image = makeCache()->imageFromDiskCacheForKey("k");
  ASSERT_TRUE(image);
  EXPECT_EQ(image->bitmap().pixel(0, 0), kBlue) << "the image is encoded instead";
}

TEST_F(SDImageCacheTest, CorruptOrTruncatedFilesReadAsMisses) {
  auto cache = makeCache();
  const Bytes jpeg = test::fixture("baseline.jpg");
  const Bytes gif = test::fixture("single.gif");
  writeFile(cache->defaultCachePathForKey("garbage"), Bytes{'n', 'o', 'p', 'e'});
  writeFile(cache->defaultCachePathForKey("empty"), Bytes{});
  writeFile(cache->defaultCachePathForKey("half jpeg"), Bytes(jpeg.begin(), jpeg.begin() + 300));
  writeFile(cache->defaultCachePathForKey("gif header"), Bytes(gif.begin(), gif.begin() + 13));
  std::filesystem::create_directories(cache->defaultCachePathForKey("a directory"));
  for (const char* key : {"garbage", "empty", "half jpeg", "gif header", "a directory", "absent"}) {
    EXPECT_FALSE(cache->diskImageForKey(key)) << key;
    EXPECT_FALSE(cache->imageFromDiskCacheForKey(key)) << key;
    std::optional<QL_SDImageCacheType> kind;
    std::shared_ptr<const Image> found = test::solidImage(1, 1, kRed);
    cache->queryDiskCacheForKey(key, [&](auto image, QL_SDImageCacheType type) {
      found = image;
      kind = type;
    });
    ASSERT_TRUE(test::runUntil([&] { return kind.has_value(); })) << key;
    EXPECT_EQ(*kind, QL_SDImageCacheType::Disk) << key;
    EXPECT_FALSE(found) << key;
  }
  EXPECT_EQ(cache->memCache().count(), 0u);
}

TEST_F(SDImageCacheTest, QueryReportsWhereTheImageCameFrom) {
  auto cache = makeCache();
  EXPECT_EQ(cache->queryDiskCacheForKey("k", nullptr), nullptr);

  std::vector<QL_SDImageCacheType> kinds;
  auto record = [&](auto, QL_SDImageCacheType t) { kinds.push_back(t); };
  EXPECT_EQ(cache->queryDiskCacheForKey("", record), nullptr);
  ASSERT_EQ(kinds, std::vector<QL_SDImageCacheType>{QL_SDImageCacheType::None});

  cache->storeImage(test::solidImage(1, 1, kRed), "k");
  EXPECT_EQ(cache->queryDiskCacheForKey("k", record), nullptr);
  ASSERT_EQ(kinds.back(), QL_SDImageCacheType::Memory) << "a memory hit answers at once";

  cache->clearMemory();
  auto op = cache->queryDiskCacheForKey("k", record);
  ASSERT_TRUE(op);
  EXPECT_EQ(kinds.size(), 2u);
  ASSERT_TRUE(test::runUntil([&] { return kinds.size() == 3; }));
  EXPECT_EQ(kinds.back(), QL_SDImageCacheType::Disk);
  EXPECT_TRUE(cache->imageFromMemoryCacheForKey("k")) << "a disk hit fills memory";
}

TEST_F(SDImageCacheTest, CancelledQueriesNeverComplete) {
  auto cache = makeCache();
  cache->storeImage(test::solidImage(1, 1, kRed), "k");
  cache->clearMemory();
  // Keep the serial queue busy so that the cancel comes first.
  cache->storeImage(test::solidImage(1500, 1500, argb(1, 2, 3, 4)), "big");
  bool called = false;
  auto op = cache->queryDiskCacheForKey("k", [&](auto, auto) { called = true; });
  ASSERT_TRUE(op);
  op->cancel();
  waitForDisk(*cache);
  test::spin();
  EXPECT_FALSE(called);
  EXPECT_FALSE(cache->imageFromMemoryCacheForKey("k"));
}

TEST_F(SDImageCacheTest, RemovingAndClearing) {
  auto cache = makeCache();
  for (const char* key : {"a", "b", "c"}) cache->storeImage(test::solidImage(1, 1, kRed), key);
  waitForDisk(*cache);

  int completions = 0;
  cache->removeImageForKey("a", true, [&] { ++completions; });
  EXPECT_FALSE(cache->imageFromMemoryCacheForKey("a"));
  ASSERT_TRUE(test::runUntil([&] { return completions == 1; }));
  EXPECT_FALSE(cache->diskImageExistsWithKey("a"));

  cache->removeImageForKey("b", false, [&] { ++completions; });
  EXPECT_EQ(completions, 2) << "memory only: at once";
  EXPECT_FALSE(cache->imageFromMemoryCacheForKey("b"));
  EXPECT_TRUE(cache->diskImageExistsWithKey("b"));

  cache->removeImageForKey("", true, [&] { ++completions; });
  EXPECT_EQ(completions, 3) << "no key: nothing to do, but the caller hears back";

  bool cleared = false;
  cache->clearDisk([&] { cleared = true; });
  ASSERT_TRUE(test::runUntil([&] { return cleared; }));
  EXPECT_TRUE(std::filesystem::is_directory(cache->diskCachePath()));
  EXPECT_EQ(cache->getDiskCount(), 0u);
  EXPECT_TRUE(cache->imageFromMemoryCacheForKey("c")) << "clearing the disk keeps memory";
}

TEST_F(SDImageCacheTest, SizesAndCounts) {
  auto cache = makeCache();
  writeFile(cache->defaultCachePathForKey("a"), Bytes(100, 1));
  writeFile(cache->defaultCachePathForKey("b"), Bytes(23, 1));
  writeFile(cache->diskCachePath() / "sub" / "c", Bytes(7, 1));
  writeFile(cache->diskCachePath() / ".hidden", Bytes(1000, 1));
  EXPECT_EQ(cache->getSize(), 1130u);
  EXPECT_EQ(cache->getDiskCount(), 5u);  // a, b, sub, sub/c, .hidden
  std::optional<std::pair<uint64_t, uint64_t>> calculated;
  cache->calculateSize([&](uint64_t count, uint64_t size) { calculated.emplace(count, size); });
  ASSERT_TRUE(test::runUntil([&] { return calculated.has_value(); }));
  EXPECT_EQ(calculated->first, 4u);
  EXPECT_EQ(calculated->second, 130u);
  EXPECT_EQ(makeCache("never-written")->getSize(), 0u);
}

TEST_F(SDImageCacheTest, ReadOnlyPathsAreSearchedAfterTheOwnDirectory) {
  auto cache = makeCache();
  test::TempDirectory extra;
  writeFile(QL_SDImageCache::cachePathForKey("k", extra.path()), test::fixture("rgb.png"));
  EXPECT_FALSE(cache->diskImageDataBySearchingAllPathsForKey("k"));
  cache->addReadOnlyCachePath(extra.path());
  cache->addReadOnlyCachePath(extra.path());
  EXPECT_EQ(cache->customPaths().size(), 1u);
  auto data = cache->imageDataForKey("k");
  ASSERT_TRUE(data);
  EXPECT_EQ(*data, test::fixture("rgb.png"));
  EXPECT_TRUE(cache->imageFromDiskCacheForKey("k"));

  writeFile(cache->defaultCachePathForKey("k"), test::fixture("baseline.jpg"));
  EXPECT_EQ(*cache->imageDataForKey("k"), test::fixture("baseline.jpg"));
}

TEST_F(SDImageCacheTest, CleaningRemovesExpiredFilesOnly) {
  auto cache = makeCache();
  const auto old = cache->defaultCachePathForKey("old");
  const auto fresh = cache->defaultCachePathForKey("fresh");
  writeFile(old, Bytes(10, 1));
  writeFile(fresh, Bytes(10, 1));
  setModified(old, 8 * 24 * 3600);
  setModified(fresh, 6 * 24 * 3600);

  cache->setMaxCacheAge(std::numeric_limits<int64_t>::max());
  bool done = false;
  cache->cleanDisk([&] { done = true; });
  ASSERT_TRUE(test::runUntil([&] { return done; }));
  EXPECT_TRUE(std::filesystem::exists(old)) << "the largest age keeps everything";

  cache->setMaxCacheAge(604800);
  done = false;
  cache->cleanDisk([&] { done = true; });
  ASSERT_TRUE(test::runUntil([&] { return done; }));
  EXPECT_FALSE(std::filesystem::exists(old));
  EXPECT_TRUE(std::filesystem::exists(fresh));
}

TEST_F(SDImageCacheTest, CleaningBySizeRemovesTheOldestFirst) {
  auto cache = makeCache();
  const char* keys[] = {"oldest", "middle", "newest"};
  uint64_t allocated = 0;
  for (int i = 0; i < 3; ++i) {
    auto path = cache->defaultCachePathForKey(keys[i]);
    writeFile(path, Bytes(5000, 1));
    setModified(path, 3600 * (3 - i));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    allocated += uint64_t(st.st_blocks) * 512;
  }
  cache->setMaxCacheSize(allocated - 1);
  bool done = false;
  cache->cleanDisk([&] { done = true; });
  ASSERT_TRUE(test::runUntil([&] { return done; }));
  EXPECT_FALSE(cache->diskImageExistsWithKey("oldest"));
  EXPECT_FALSE(cache->diskImageExistsWithKey("middle"));
  EXPECT_TRUE(cache->diskImageExistsWithKey("newest"));
}

TEST_F(SDImageCacheTest, ApplicationNotificationsReachTheCache) {
  auto cache = makeCache();
  cache->storeImage(test::solidImage(1, 1, kRed), "k", false);
  NotificationCenter::defaultCenter().post(kMemoryWarningNotification);
  EXPECT_FALSE(cache->imageFromMemoryCacheForKey("k"));

  writeFile(cache->defaultCachePathForKey("old"), Bytes(10, 1));
  setModified(cache->defaultCachePathForKey("old"), 8 * 24 * 3600);
  NotificationCenter::defaultCenter().post(kApplicationDidEnterBackgroundNotification);
  waitForDisk(*cache);
  EXPECT_FALSE(cache->diskImageExistsWithKey("old"));
  cache.reset();
  // A destroyed cache is no longer subscribed.
  NotificationCenter::defaultCenter().post(kApplicationWillTerminateNotification);
}

TEST_F(SDImageCacheTest, PackageStoreSettingsHold) {
  auto cache = makeCache("QLPackages");
  cache->setMaxCacheAge(std::numeric_limits<int64_t>::max());
  cache->setMaxMemoryCountLimit(60);
  for (int i = 0; i < 100; ++i) {
    cache->storeImage(test::solidImage(1, 1, kRed), std::to_string(i), false);
  }
  EXPECT_EQ(cache->memCache().count(), 60u);
  cache->setMaxMemoryCost(10 * 4);  // bytes: ten one-pixel images
  EXPECT_EQ(cache->memCache().count(), 10u);
}

TEST_F(SDImageCacheTest, MemoryIsBoundedInDecodedBytesByDefault) {
  auto cache = makeCache();
  ASSERT_EQ(cache->maxMemoryCost(), QL_AutoPurgeCache::kDefaultTotalCostLimit);
  auto big = test::solidImage(1024, 1024, kRed);  // 4 MiB of pixels
  for (int i = 0; i < 40; ++i) cache->storeImage(big, "big" + std::to_string(i), false);
  EXPECT_LE(cache->memCache().totalCost(), cache->maxMemoryCost());
  EXPECT_EQ(cache->memCache().count(), cache->maxMemoryCost() / big->cost());
  auto frames = std::vector<std::shared_ptr<const Bitmap>>(3, std::make_shared<Bitmap>(16, 16));
  EXPECT_EQ(QL_SDImageCache::cacheCostForImage(*Image::animated(frames, 0.3)), 3u * 16 * 16 * 4)
      << "every frame counts";
}

TEST_F(SDImageCacheTest, DestructionFinishesQueuedWrites) {
  auto cache = makeCache();
  for (int i = 0; i < 20; ++i) cache->storeImage(test::solidImage(8, 8, kRed), std::to_string(i));
  const auto last = cache->defaultCachePathForKey("19");
  cache.reset();
  EXPECT_TRUE(std::filesystem::exists(last));
}

TEST_F(SDImageCacheTest, ConcurrentReadersNeverSeeATornImage) {
  auto cache = makeCache();
  auto red = test::solidImage(64, 64, kRed, ImageAlphaInfo::NoneSkipFirst);
  auto blue = test::solidImage(64, 64, kBlue);
  cache->storeImage(red, "shared");
  waitForDisk(*cache);
  std::atomic<bool> stop{false};
  std::atomic<int> reads{0}, torn{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 3; ++t) {
    readers.emplace_back([&] {
      while (!stop) {
        auto image = cache->diskImageForKey("shared");
        if (!image) {
          ++torn;
        } else {
          const uint32_t p = image->bitmap().pixel(63, 63);
          if (!(p == kBlue || (p >> 16 & 0xFF) > 240)) ++torn;
        }
        cache->imageFromDiskCacheForKey(std::to_string(reads % 5));
        ++reads;
      }
    });
  }
  std::thread writer([&] {
    for (int i = 0; i < 40; ++i) {
      cache->storeImage(i % 2 ? blue : red, "shared");
      cache->storeImage(red, std::to_string(i % 5));
      if (i % 7 == 0) cache->removeImageForKey(std::to_string(i % 5));
      if (i % 10 == 0) cache->clearMemory();
    }
  });
  writer.join();
  waitForDisk(*cache);
  stop = true;
  for (auto& t : readers) t.join();
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(torn.load(), 0);
}

}  // namespace
}  // namespace vexa
