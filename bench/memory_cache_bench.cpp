// Memory-cache lookups: QL_AutoPurgeCache (mutex, LRU order kept on every
// hit, heterogeneous lookup by string_view) against a bare
// std::unordered_map<std::string, shared_ptr> find with no lock and no
// recency bookkeeping, in the same run. 10,000 keys shaped like image URLs;
// lookups walk a shuffled key order. x_map is our time per lookup divided by
// the map's (for the two-thread run: per lookup of one thread, both
// looking up at once).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "vexa/store/image/QL_AutoPurgeCache.h"

namespace {

constexpr int kKeys = 10000;

const std::vector<std::string>& keys() {
  static const auto k = [] {
    std::vector<std::string> v;
    for (int i = 0; i < kKeys; ++i) {
      v.push_back("https://files.example.com/packages/" + std::to_string(i * 7919 % 100003) +
                  "/IMAGE_" + std::to_string(i) + ".gif");
    }
    return v;
  }();
  return k;
}

// Lookup order: the keys shuffled, so neither side gets a cache-friendly walk.
const std::vector<const std::string*>& order() {
  static const auto o = [] {
    std::vector<const std::string*> v;
    for (const auto& k : keys()) v.push_back(&k);
    std::shuffle(v.begin(), v.end(), std::mt19937(42));
    return v;
  }();
  return o;
}

std::shared_ptr<const vexa::Image> anImage() {
  static const auto image = vexa::Image::still(std::make_shared<vexa::Bitmap>(2, 2));
  return image;
}

double& baselineSecondsPerLookup() {
  static double s = 0;
  return s;
}

template <typename Lookup>
void run(benchmark::State& state, bool isBaseline, Lookup lookup) {
  const auto& o = order();
  size_t i = 0, hits = 0;
  // Started inside the loop: the threads' start barrier is not a lookup.
  std::chrono::steady_clock::time_point start;
  bool started = false;
  for (auto _ : state) {
    if (!started) {
      start = std::chrono::steady_clock::now();
      started = true;
    }
    hits += lookup(*o[i]) ? 1 : 0;
    if (++i == o.size()) i = 0;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double perLookup = seconds / double(state.iterations());
  if (isBaseline && state.thread_index() == 0) baselineSecondsPerLookup() = perLookup;
  // Averaged over threads: each thread reports its own lookups.
  if (baselineSecondsPerLookup() > 0) {
    state.counters["x_map"] = benchmark::Counter(perLookup / baselineSecondsPerLookup(),
                                                 benchmark::Counter::kAvgThreads);
  }
  state.counters["hit_rate"] =
      benchmark::Counter(double(hits) / double(state.iterations()), benchmark::Counter::kAvgThreads);
  state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_UnorderedMapFind(benchmark::State& state) {
  std::unordered_map<std::string, std::shared_ptr<const vexa::Image>> map;
  for (const auto& k : keys()) map.emplace(k, anImage());
  run(state, true, [&](const std::string& k) {
    auto it = map.find(k);
    return it != map.end() && it->second;
  });
}

vexa::QL_AutoPurgeCache& filledCache(size_t countLimit) {
  static std::map<size_t, std::unique_ptr<vexa::QL_AutoPurgeCache>> caches;
  auto& cache = caches[countLimit];
  if (!cache) {
    cache = std::make_unique<vexa::QL_AutoPurgeCache>("bench");
    cache->setCountLimit(countLimit);
    for (const auto& k : keys()) cache->setObject(k, anImage(), 4);
  }
  return *cache;
}

// All 10,000 keys present: every lookup hits and moves its entry to the front.
void BM_AutoPurgeCacheHit(benchmark::State& state) {
  auto& cache = filledCache(0);
  run(state, false, [&](const std::string& k) { return cache.objectForKey(k) != nullptr; });
}

// The package store's limit of 60: almost every lookup misses.
void BM_AutoPurgeCacheMissLimit60(benchmark::State& state) {
  auto& cache = filledCache(60);
  run(state, false, [&](const std::string& k) { return cache.objectForKey(k) != nullptr; });
}

BENCHMARK(BM_UnorderedMapFind);
BENCHMARK(BM_AutoPurgeCacheHit);
BENCHMARK(BM_AutoPurgeCacheHit)->Threads(2);
BENCHMARK(BM_AutoPurgeCacheMissLimit60);

}  // namespace

BENCHMARK_MAIN();
