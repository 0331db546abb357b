// Installing the default packages from the reference service on this
// machine (token, default category, and per package its archive, its emoji
// list and the store's writes), against fetching the same archives with the
// curl command and unpacking them with unzip, one after another. The ratio
// "x_curl_unzip" is the wall time per run over that of the baseline
// measured in the same process.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/SecureItemStore.h"
#include "service/EmoticonService.h"
#include "service/SampleCatalog.h"
#include "vexa/store/QLPackageCache.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Setup {
  fs::path root;
  std::unique_ptr<vexa::service::EmoticonService> service;
  std::vector<std::string> guids;
  std::string error;
};

Setup& setup() {
  static Setup* s = [] {
    auto* out = new Setup();
    std::string pattern = (fs::temp_directory_path() / "vexa-install-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
      out->error = "no temporary directory";
      return out;
    }
    out->root = pattern;
    auto catalog = vexa::service::SampleCatalog::load(out->root / "catalog");
    if (!catalog) {
      out->error = catalog.error().toString();
      return out;
    }
    auto started = vexa::service::EmoticonService::start({.catalog = *catalog});
    if (!started) {
      out->error = started.error().toString();
      return out;
    }
    out->service = std::move(*started);
    if (const auto& category = out->service->catalog().defaultCategory()) out->guids = category->packageGuids;
    return out;
  }();
  return *s;
}

double& baselineSeconds() {
  static double seconds = 0;
  return seconds;
}

void report(benchmark::State& state, double total, bool isBaseline) {
  double perIteration = total / static_cast<double>(state.iterations());
  if (isBaseline) baselineSeconds() = perIteration;
  if (baselineSeconds() > 0) state.counters["x_curl_unzip"] = perIteration / baselineSeconds();
  state.counters["packages"] = static_cast<double>(setup().guids.size());
}

void BM_CurlUnzip(benchmark::State& state) {
  Setup& s = setup();
  if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
  double total = 0;
  int run = 0;
  for (auto _ : state) {
    fs::path dir = s.root / ("curl-" + std::to_string(run++));
    fs::create_directories(dir / "out");
    auto start = Clock::now();
    for (const auto& guid : s.guids) {
      std::string zip = (dir / (guid + ".zip")).string();
      std::string command = "curl -sf -o '" + zip + "' '" + s.service->filesBase() + guid +
                            ".zip' && unzip -qo '" + zip + "' -d '" + (dir / "out").string() +
                            "' && rm '" + zip + "'";
      if (std::system(command.c_str()) != 0) return state.SkipWithError("curl or unzip failed");
    }
    total += std::chrono::duration<double>(Clock::now() - start).count();
    fs::remove_all(dir);
  }
  report(state, total, true);
}

void BM_InstallDefaultPackages(benchmark::State& state) {
  Setup& s = setup();
  if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
  auto& main = vexa::MainQueue::shared();
  double total = 0;
  int run = 0;
  for (auto _ : state) {
    fs::path dir = s.root / ("sdk-" + std::to_string(run++));
    vexa::SecureItemStore keychain(dir / "keychain");
    auto shared = std::make_shared<vexa::QL_SDImageCache>("default", dir / "Caches");
    auto store = std::make_unique<vexa::QLPackageCache>(dir / "ApplicationSupport", shared);
    auto manager = std::make_unique<vexa::QLDownloadManager>(s.service->apiBase(), &keychain);
    manager->setPackageCache(store.get());
    manager->setFilesBaseURL(s.service->filesBase());
    manager->setAppId(vexa::service::EmoticonService::kDemoAppId);
    manager->setAppSecret(vexa::service::EmoticonService::kDemoAppSecret);

    std::optional<vexa::Status> outcome;
    auto start = Clock::now();
    manager->downloadDefaultPackages([&outcome](const vexa::Status& status) { outcome = status; });
    main.runUntil([&] { return outcome.has_value(); }, std::chrono::minutes(2));
    total += std::chrono::duration<double>(Clock::now() - start).count();
    if (!outcome || !outcome->ok()) return state.SkipWithError("the default packages did not install");
    if (store->defaultPackages().size() != s.guids.size()) return state.SkipWithError("packages missing");
    main.runUntil([&] { return manager->pendingReportCount() == 0; }, std::chrono::seconds(30));
    manager.reset();
    store.reset();
    fs::remove_all(dir);
  }
  report(state, total, false);
}

}  // namespace

BENCHMARK(BM_CurlUnzip)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(BM_InstallDefaultPackages)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

BENCHMARK_MAIN();
