// Queries over a store of 1,000 downloaded packages of 50 emojis each:
// emojiWithCode (the first match in package order, from the store's code
// index) and the keyword search with case folding, in lookups per second.
// Baselines in the same run: the scan of the lists the index replaces
// ("x_scan", for a code that is there and one that is not), a bare hash map
// from code to emoji ("x_hash", the cost of an ideal index) and a
// byte-equal comparison of every emoji text ("x_bytes", the search without
// folding). BM_EmojiWithCodeAfterChange changes a stored emoji's code
// before each lookup, so every lookup rebuilds the index.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "vexa/store/QLCodeIndex.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/store/QLPackageFiles.h"
#include "vexa/store/QLPackageHelper.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kPackages = 1000;
constexpr int kEmojisPerPackage = 50;
const char* const kWords[] = {"Smile", "微笑", "Grin", "大笑", "Wink", "哭泣", "Cool", "Straße"};

struct Store {
  fs::path root;
  std::unique_ptr<vexa::QLPackageCache> cache;
  std::vector<std::string> codes;  // every code, in no particular order
  std::unordered_map<std::string, std::shared_ptr<vexa::QLEmoji>> byCode;
};

Store& store() {
  static Store* s = [] {
    auto* out = new Store();
    std::string pattern = (fs::temp_directory_path() / "vexa-query-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    out->root = pattern;
    vexa::QLPackageFiles files(out->root / "ApplicationSupport" / vexa::QLPackageFiles::kFolderName);
    std::vector<std::shared_ptr<vexa::QLPackage>> packages;
    for (int p = 0; p < kPackages; ++p) {
      auto package = std::make_shared<vexa::QLPackage>();
      package->setGuid("pkg-" + std::to_string(p));
      package->setName("Package " + std::to_string(p));
      package->setIsEmoji(p % 2 == 0);
      vexa::QLPackage::Emojis emojis;
      for (int e = 0; e < kEmojisPerPackage; ++e) {
        auto emoji = std::make_shared<vexa::QLEmoji>();
        std::string id = package->guid() + "-" + std::to_string(e);
        emoji->setGuid(id);
        emoji->setEmo_code("code_" + std::to_string(p) + "_" + std::to_string(e));
        emoji->setEmo_text(std::string(kWords[(p + e) % 8]) + " " + std::to_string(e));
        emoji->setMain_image("http://img.test/" + id + ".gif");
        emoji->setThumbail("http://img.test/" + id + ".png");
        emoji->setPackage_id(package->guid());
        out->codes.push_back(emoji->emo_code());
        emojis.push_back(emoji);
      }
      package->setEmojis(std::move(emojis));
      if (!files.saveRecord(*package).ok()) std::abort();
      packages.push_back(package);
    }
    if (!files.saveList(packages, files.downloadedListPath()).ok()) std::abort();
    out->cache = std::make_unique<vexa::QLPackageCache>(
        out->root / "ApplicationSupport",
        std::make_shared<vexa::QL_SDImageCache>("default", out->root / "Caches"));
    for (const auto& package : out->cache->downloadedPackages()) {
      for (const auto& emoji : package->emojis()) out->byCode.try_emplace(emoji->emo_code(), emoji);
    }
    std::shuffle(out->codes.begin(), out->codes.end(), std::mt19937(7));
    return out;
  }();
  return *s;
}

double& baseline(const char* name) {
  static std::unordered_map<std::string, double> seconds;
  return seconds[name];
}

// Times `body` per call and reports calls per second and the ratio to a baseline.
template <typename Body>
void run(benchmark::State& state, const char* baselineName, bool isBaseline, Body body) {
  Store& s = store();
  size_t i = 0;
  size_t found = 0;
  auto start = Clock::now();
  for (auto _ : state) {
    found += body(s, i++);
  }
  double perCall = std::chrono::duration<double>(Clock::now() - start).count() /
                   static_cast<double>(state.iterations());
  benchmark::DoNotOptimize(found);
  if (isBaseline) baseline(baselineName) = perCall;
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
  if (baseline(baselineName) > 0) state.counters[std::string("x_") + baselineName] = perCall / baseline(baselineName);
}

vexa::QLCodeIndex::EmojiPtr scan(Store& s, std::string_view code) {
  const auto& defaults = s.cache->defaultPackages();
  const auto& downloaded = s.cache->downloadedPackages();
  return vexa::QLCodeIndex::scan(code, {&defaults, &downloaded});
}

void BM_ScanForCode(benchmark::State& state) {
  run(state, "scan", true, [](Store& s, size_t i) {
    return scan(s, s.codes[i % s.codes.size()]) ? 1u : 0u;
  });
}

void BM_ScanForUnknownCode(benchmark::State& state) {
  run(state, "scan_unknown", true, [](Store& s, size_t) { return scan(s, "no-such-code") ? 1u : 0u; });
}

void BM_EmojiWithCodeAfterChange(benchmark::State& state) {
  run(state, "scan", false, [](Store& s, size_t i) {
    const auto& emoji = s.cache->downloadedPackages()[i % kPackages]->emojis().front();
    emoji->setEmo_code(emoji->emo_code());
    return vexa::QLPackageHelper::emojiWithCode(s.codes[i % s.codes.size()], *s.cache) ? 1u : 0u;
  });
}

void BM_CodeHashMap(benchmark::State& state) {
  run(state, "hash", true, [](Store& s, size_t i) {
    return s.byCode.count(s.codes[i % s.codes.size()]);
  });
}

void BM_EmojiWithCode(benchmark::State& state) {
  run(state, "scan", false, [](Store& s, size_t i) {
    return vexa::QLPackageHelper::emojiWithCode(s.codes[i % s.codes.size()], *s.cache) ? 1u : 0u;
  });
}

void BM_EmojiWithUnknownCode(benchmark::State& state) {
  run(state, "scan_unknown", false, [](Store& s, size_t) {
    return vexa::QLPackageHelper::emojiWithCode("no-such-code", *s.cache) ? 1u : 0u;
  });
}

size_t exactMatches(Store& s, const std::string& keyword) {
  size_t n = 0;
  for (const auto& package : s.cache->downloadedPackages()) {
    for (const auto& emoji : package->emojis()) n += emoji->emo_text() == keyword;
  }
  return n;
}

void BM_KeywordBytesEqual(benchmark::State& state) {
  run(state, "bytes", true, [](Store& s, size_t) { return exactMatches(s, "Smile 3"); });
}

void BM_KeywordAscii(benchmark::State& state) {
  run(state, "bytes", false, [](Store& s, size_t) {
    return vexa::QLPackageHelper::emojisWithKeyword(" smile 3 ", *s.cache)->size();
  });
}

void BM_KeywordChinese(benchmark::State& state) {
  run(state, "bytes", false, [](Store& s, size_t) {
    return vexa::QLPackageHelper::emojisWithKeyword("微笑 3", *s.cache)->size();
  });
}

void BM_KeywordFolded(benchmark::State& state) {
  run(state, "bytes", false, [](Store& s, size_t) {
    return vexa::QLPackageHelper::emojisWithKeyword("STRASSE 3", *s.cache)->size();
  });
}

}  // namespace

BENCHMARK(BM_ScanForCode)->MinTime(1);
BENCHMARK(BM_ScanForUnknownCode)->MinTime(1);
BENCHMARK(BM_CodeHashMap)->MinTime(1);
BENCHMARK(BM_EmojiWithCode)->MinTime(1);
BENCHMARK(BM_EmojiWithUnknownCode)->MinTime(1);
BENCHMARK(BM_EmojiWithCodeAfterChange)->MinTime(1);
BENCHMARK(BM_KeywordBytesEqual)->MinTime(1);
BENCHMARK(BM_KeywordAscii)->MinTime(1);
BENCHMARK(BM_KeywordChinese)->MinTime(1);
BENCHMARK(BM_KeywordFolded)->MinTime(1);

BENCHMARK_MAIN();
