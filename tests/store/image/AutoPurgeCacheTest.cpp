#include <gtest/gtest.h>

#include <thread>

#include "ImageTestSupport.h"
#include "vexa/platform/ApplicationNotifications.h"
#include "vexa/store/image/QL_AutoPurgeCache.h"

namespace vexa {
namespace {

std::shared_ptr<const Image> image() { return test::solidImage(1, 1, test::kRed); }

std::vector<std::string> keysPresent(QL_AutoPurgeCache& cache, int upTo) {
  std::vector<std::string> keys;
  for (int i = 0; i < upTo; ++i) {
    // objectForKey would reorder; this helper is used only at the end.
    if (cache.objectForKey(std::to_string(i))) keys.push_back(std::to_string(i));
  }
  return keys;
}

TEST(AutoPurgeCacheTest, CountLimitEvictsTheLeastRecentlyUsed) {
  QL_AutoPurgeCache cache("test");
  cache.setCountLimit(60);
  for (int i = 0; i < 100; ++i) cache.setObject(std::to_string(i), image());
  EXPECT_EQ(cache.count(), 60u);
  EXPECT_FALSE(cache.objectForKey("39"));
  EXPECT_TRUE(cache.objectForKey("40"));  // now the most recently used
  cache.setObject("new", image());
  EXPECT_TRUE(cache.objectForKey("40"));
  EXPECT_FALSE(cache.objectForKey("41"));
  EXPECT_EQ(cache.count(), 60u);
  cache.setCountLimit(2);
  EXPECT_EQ(cache.count(), 2u);
  EXPECT_TRUE(cache.objectForKey("new"));
  EXPECT_TRUE(cache.objectForKey("40"));
}

TEST(AutoPurgeCacheTest, CostLimitCountsEveryEntry) {
  QL_AutoPurgeCache cache;
  cache.setTotalCostLimit(100);
  cache.setObject("a", image(), 40);
  cache.setObject("b", image(), 40);
  EXPECT_EQ(cache.totalCost(), 80u);
  cache.setObject("c", image(), 40);  // 120 > 100: "a" goes
  EXPECT_EQ(cache.totalCost(), 80u);
  EXPECT_FALSE(cache.objectForKey("a"));
  cache.setObject("b", image(), 10);  // replacing updates the cost
  EXPECT_EQ(cache.totalCost(), 50u);
  cache.setObject("huge", image(), 101);  // never fits: not kept, nothing else lost
  EXPECT_FALSE(cache.objectForKey("huge"));
  EXPECT_EQ(cache.count(), 2u);
  cache.removeObjectForKey("b");
  EXPECT_EQ(cache.totalCost(), 40u);
  cache.setObject("c", nullptr);  // a null image removes the entry
  EXPECT_EQ(cache.count(), 0u);
  EXPECT_EQ(cache.totalCost(), 0u);
}

TEST(AutoPurgeCacheTest, MemoryWarningEmptiesTheCacheWhileItLives) {
  NotificationCenter center;
  auto cache = std::make_unique<QL_AutoPurgeCache>("warned", center);
  cache->setObject("a", image(), 5);
  center.post(kMemoryWarningNotification);
  EXPECT_EQ(cache->count(), 0u);
  EXPECT_EQ(cache->totalCost(), 0u);
  cache.reset();
  center.post(kMemoryWarningNotification);  // no observer left behind
  EXPECT_EQ(center.observerCount(kMemoryWarningNotification), 0u);
}

TEST(AutoPurgeCacheTest, ConcurrentUseKeepsTheBooksStraight) {
  QL_AutoPurgeCache cache;
  cache.setCountLimit(50);
  cache.setTotalCostLimit(400);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&cache, t] {
      for (int i = 0; i < 2000; ++i) {
        const std::string key = std::to_string((i * 7 + t) % 120);
        switch (i % 4) {
          case 0: cache.setObject(key, image(), size_t(i % 13)); break;
          case 1: cache.objectForKey(key); break;
          case 2: cache.removeObjectForKey(key); break;
          default: if (i % 400 == 3) cache.removeAllObjects(); else cache.objectForKey(key);
        }
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_LE(cache.count(), 50u);
  EXPECT_LE(cache.totalCost(), 400u);
  size_t present = keysPresent(cache, 120).size();
  EXPECT_EQ(present, cache.count());
}

}  // namespace
}  // namespace vexa
