// Loading a store of 1,000 downloaded packages of 50 emojis each from disk
// (1,001 XML property lists, about 25 MiB), all in the same run:
// - reading the files' bytes, parsing them into values (directly and
//   through libplist), and a fresh QLPackageCache's downloadedPackages()
//   ("x_read": ratio to the bytes);
// - the same files loaded by Python's plistlib, timed inside the Python
//   process ("x_load": ratio to the store's load);
// - the one-time upgrade step over the store (load, then the records
//   written back as one batch: none where the files hold their bytes
//   already, all where each changed), and the same with one atomic write
//   and its syncs per record as before ("x_load" again).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <map>
#include <string>

#include "vexa/core/VXVersionManager.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/LibplistCodec.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/platform/UserDefaults.h"
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

double& baselineSeconds(const std::string& name) {
  static std::map<std::string, double> seconds;
  return seconds[name];
}

// Times `body`, which returns the packages it handled and may report a
// time of its own (seconds >= 0) instead of the one measured here; reports
// the ratio to `baseline` and keeps the time as baseline `recordAs`.
template <typename Body>
void run(benchmark::State& state, const std::string& baseline, const char* recordAs, Body body) {
  base();
  double total = 0;
  for (auto _ : state) {
    double own = -1;
    auto start = Clock::now();
    size_t n = body(own);
    const double took = own >= 0 ? own : std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(took);
    total += took;
    if (n != size_t(kPackages) && n != size_t(kPackages) + 1) state.SkipWithError("wrong count");
  }
  const double perIteration = total / static_cast<double>(state.iterations());
  if (recordAs) baselineSeconds(recordAs) = perIteration;
  if (baselineSeconds(baseline) > 0) state.counters["x_" + baseline] = perIteration / baselineSeconds(baseline);
}

void BM_ReadFileBytes(benchmark::State& state) {
  run(state, "read", "read", [](double&) {
    size_t n = 0;
    for (const auto& path : allFiles()) {
      auto bytes = vexa::FileSystem::readFile(path);
      benchmark::DoNotOptimize(bytes);
      n += bytes.ok();
    }
    return n;
  });
}

void BM_ParsePropertyLists(benchmark::State& state) {
  run(state, "read", nullptr, [](double&) {
    size_t n = 0;
    for (const auto& path : allFiles()) n += vexa::PropertyList::readFile(path).ok();
    return n;
  });
}

// The same through libplist's nodes, the general path (and the only one
// before the direct reader).
void BM_ParsePropertyListsThroughLibplist(benchmark::State& state) {
  run(state, "read", nullptr, [](double&) {
    size_t n = 0;
    for (const auto& path : allFiles()) {
      auto bytes = vexa::FileSystem::readFile(path);
      n += bytes && vexa::LibplistCodec::parse(*bytes).ok();
    }
    return n;
  });
}

size_t loadStore() {
  vexa::QLPackageCache store(base());
  size_t n = store.downloadedPackages().size();
  if (store.downloadedPackages().back()->emojis().size() != size_t(kEmojis)) std::abort();
  return n;
}

void BM_LoadStore(benchmark::State& state) {
  run(state, "read", "load", [](double&) { return loadStore(); });
}

void BM_PythonPlistlib(benchmark::State& state) {
  const std::string script =
      "import glob,os,plistlib,sys,time\n"
      "files=glob.glob(os.path.join(sys.argv[1],'*'))\n"
      "t=time.perf_counter()\n"
      "n=0\n"
      "for f in files:\n"
      "  with open(f,'rb') as h: plistlib.load(h); n+=1\n"
      "print(n, time.perf_counter()-t)\n";
  const fs::path scriptPath = base() / "load.py";
  if (!vexa::FileSystem::writeAtomically(scriptPath, script).ok()) std::abort();
  const std::string command = "python3 " + scriptPath.string() + " " + (base() / "QLPackages").string();
  run(state, "load", nullptr, [&](double& own) {
    FILE* pipe = ::popen(command.c_str(), "r");
    size_t n = 0;
    double seconds = -1;
    if (!pipe || std::fscanf(pipe, "%zu %lf", &n, &seconds) != 2) state.SkipWithError("no python3 with plistlib");
    if (pipe) ::pclose(pipe);
    own = seconds;
    return n;
  });
}

// The upgrade step of a first start over the store: nothing recorded.
template <typename Write>
size_t upgrade(Write write) {
  const fs::path prefs = base() / "prefs.plist";
  std::error_code ec;
  fs::remove(prefs, ec);
  vexa::UserDefaults defaults(prefs);
  vexa::QLPackageCache store(base());
  vexa::QLPackageUpgradeStore access;
  access.allPackages = [&] { return store.allPackages(); };
  access.storeToDiskForPackages = [&](const vexa::QLPackageUpgradeStore::Packages& packages) {
    return write(store, packages);
  };
  if (!vexa::VXVersionManager(&defaults).checkForUpdate(access).ok()) std::abort();
  return store.downloadedPackages().size();
}

void BM_UpgradeStepBatched(benchmark::State& state) {
  run(state, "load", nullptr, [](double&) {
    return upgrade([](vexa::QLPackageCache& store, const auto& packages) {
      return store.storeToDiskForPackages(packages);
    });
  });
}

// The same when every record's bytes change (each file has a byte more on
// disk, appended before the timed part), so every record is written.
void BM_UpgradeStepBatchedEveryRecordChanged(benchmark::State& state) {
  run(state, "load", nullptr, [](double& own) {
    for (const auto& path : allFiles()) {
      if (path.filename() == vexa::QLPackageFiles::kDownloadedListName) continue;
      std::FILE* f = std::fopen(path.c_str(), "a");
      if (!f || std::fputc('\n', f) == EOF || std::fclose(f) != 0) std::abort();
    }
    const auto start = Clock::now();
    const size_t n = upgrade([](vexa::QLPackageCache& store, const auto& packages) {
      return store.storeToDiskForPackages(packages);
    });
    own = std::chrono::duration<double>(Clock::now() - start).count();
    return n;
  });
}

void BM_UpgradeStepOneWritePerRecord(benchmark::State& state) {
  run(state, "load", nullptr, [](double&) {
    return upgrade([](vexa::QLPackageCache& store, const auto& packages) {
      for (const auto& package : packages) {
        if (vexa::Status written = store.storeToDiskForPackage(*package); !written) return written;
      }
      return vexa::Status::Ok();
    });
  });
}

}  // namespace

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ParsePropertyLists)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ParsePropertyListsThroughLibplist)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_LoadStore)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_PythonPlistlib)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_UpgradeStepBatched)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_UpgradeStepBatchedEveryRecordChanged)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_UpgradeStepOneWritePerRecord)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);


BENCHMARK_MAIN();
