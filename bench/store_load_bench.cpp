// Loading a store of 1,000 downloaded packages of 50 emojis each from disk
// (1,001 XML property lists, about 25 MiB): a fresh QLPackageCache's
// downloadedPackages(), against reading the same files' bytes and against
// parsing them into values without building records, in the same run
// ("x_read" is the ratio to reading the bytes).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "vexa/platform/FileSystem.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/store/QLPackageFiles.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
constexpr int kPackages = 1000;
constexpr int kEmojis = 50;

const fs::path& base() {
  // Never destroyed: the exit hook that removes the folder may run after
  // static destructors.
  static const fs::path* const dir = [] {
    // $TMPDIR picks the file system measured (e.g. /dev/shm for memory).
    const char* tmp = std::getenv("TMPDIR");
    std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/vexa-store-bench-XXXXXX";
    if (!::mkdtemp(name.data())) std::abort();
    const fs::path path(name);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(base(), ec);
    });
    vexa::QLPackageFiles files(path / "QLPackages");
    std::vector<std::shared_ptr<vexa::QLPackage>> all;
    for (int p = 0; p < kPackages; ++p) {
      auto package = std::make_shared<vexa::QLPackage>();
      const std::string guid = "a1b2c3d4-" + std::to_string(100000 + p);
      package->setGuid(guid);
      package->setName("表情包 " + std::to_string(p));
      package->setChat_icon("https://cdn.example.test/icons/" + guid + ".png");
      package->setIntro("一套可爱的表情, package number " + std::to_string(p));
      package->setCreateTime("2016-03-04 05:06:07");
      vexa::QLPackage::Emojis emojis;
      for (int e = 0; e < kEmojis; ++e) {
        auto emoji = std::make_shared<vexa::QLEmoji>();
        const std::string id = guid + "-" + std::to_string(e);
        emoji->setGuid(id);
        emoji->setEmo_code("code_" + std::to_string(p) + "_" + std::to_string(e));
        emoji->setEmo_text("微笑" + std::to_string(e));
        emoji->setThumbail("https://cdn.example.test/thumbs/" + id + ".png");
        emoji->setMain_image("https://cdn.example.test/images/" + id + ".gif");
        emoji->setPackage_id(guid);
        emojis.push_back(emoji);
      }
      package->setEmojis(std::move(emojis));
      if (!files.saveRecord(*package).ok()) std::abort();
      all.push_back(package);
    }
    if (!files.saveList(all, files.downloadedListPath()).ok()) std::abort();
    return new fs::path(path);
  }();
  return *dir;
}

std::vector<fs::path> allFiles() {
  std::vector<fs::path> out;
  for (const auto& e : fs::directory_iterator(base() / "QLPackages")) out.push_back(e.path());
  return out;
}

double& baselineSeconds() {
  static double seconds = 0;
  return seconds;
}

template <typename Body>
void run(benchmark::State& state, Body body, bool isBaseline) {
  base();
  double total = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    size_t n = body();
    total += std::chrono::duration<double>(Clock::now() - start).count();
    if (n != size_t(kPackages) && n != size_t(kPackages) + 1) state.SkipWithError("wrong count");
  }
  const double perIteration = total / static_cast<double>(state.iterations());
  if (isBaseline) baselineSeconds() = perIteration;
  if (baselineSeconds() > 0) state.counters["x_read"] = perIteration / baselineSeconds();
}

void BM_ReadFileBytes(benchmark::State& state) {
  run(state, [] {
    size_t n = 0;
    for (const auto& path : allFiles()) {
      auto bytes = vexa::FileSystem::readFile(path);
      benchmark::DoNotOptimize(bytes);
      n += bytes.ok();
    }
    return n;
  }, true);
}

void BM_ParsePropertyLists(benchmark::State& state) {
  run(state, [] {
    size_t n = 0;
    for (const auto& path : allFiles()) n += vexa::PropertyList::readFile(path).ok();
    return n;
  }, false);
}

void BM_LoadStore(benchmark::State& state) {
  run(state, [] {
    vexa::QLPackageCache store(base());
    size_t n = store.downloadedPackages().size();
    if (store.downloadedPackages().back()->emojis().size() != size_t(kEmojis)) std::abort();
    return n;
  }, false);
}

}  // namespace

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParsePropertyLists)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LoadStore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
