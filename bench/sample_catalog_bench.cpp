// What the sample catalogue's cache saves: drawing and encoding the whole
// sample catalogue (every PNG and animated GIF, catalog.json), as a multiple
// of loading the cached catalogue (reading and checking every file, building
// every package archive), measured in the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "service/CatalogLoader.h"
#include "service/SampleCatalogGenerator.h"
#include "support/RatioReporter.h"

namespace {

namespace fs = std::filesystem;
using namespace vexa::service;

// A scratch directory for the run, removed at the end.
class Scratch {
 public:
  Scratch() {
    char pattern[] = "/tmp/vexa-catalog-bench-XXXXXX";
    path_ = mkdtemp(pattern) ? fs::path(pattern) : fs::temp_directory_path() / "vexa-catalog-bench";
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

Scratch& scratch() {
  static Scratch s;
  return s;
}

const fs::path& cachedCatalogue() {
  static const fs::path dir = [] {
    fs::path d = scratch().path() / "cached";
    if (!SampleCatalogGenerator::write(d)) std::cerr << "cannot generate the sample catalogue\n";
    return d;
  }();
  return dir;
}

void BM_LoadCachedCatalogue(benchmark::State& state) {
  const fs::path& dir = cachedCatalogue();
  for (auto _ : state) {
    auto catalog = CatalogLoader::load(dir);
    if (!catalog) state.SkipWithError(catalog.error().description().c_str());
    benchmark::DoNotOptimize(catalog);
  }
}
BENCHMARK(BM_LoadCachedCatalogue)->Unit(benchmark::kMillisecond);

void BM_GenerateCatalogue(benchmark::State& state) {
  int round = 0;
  for (auto _ : state) {
    fs::path dir = scratch().path() / ("generated-" + std::to_string(round++));
    if (!SampleCatalogGenerator::write(dir)) state.SkipWithError("generation failed");
    state.PauseTiming();
    std::error_code ec;
    fs::remove_all(dir, ec);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_GenerateCatalogue)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  using vexa::bench::RatioReporter;
  return vexa::bench::runWithRatios(argc, argv, "BM_LoadCachedCatalogue", RatioReporter::Clock::kCpu);
}
