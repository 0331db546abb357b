// Unpacking a large package archive (400 emojis: a thumbnail and an
// animation each, half incompressible like real PNG and GIF data, about
// 14 MiB) with QLZipArchive from the file and from memory, and through the
// whole store install (staging folder, then moves), against Info-ZIP's
// `unzip` on the same file in the same run ("x_unzip"). A second family
// unpacks archives of 1,000 to 16,000 tiny entries to show that the walk
// stays linear ("us_per_entry" stays flat).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "vexa/platform/FileSystem.h"
#include "vexa/store/QLPackageZipInstaller.h"
#include "vexa/store/zip/QLZipArchive.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const fs::path& workDir() {
  // Never destroyed: the exit hook that removes the folder may run after
  // static destructors.
  static const fs::path* const dir = [] {
    // $TMPDIR picks the file system measured (e.g. /dev/shm for memory).
    const char* tmp = std::getenv("TMPDIR");
    std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/vexa-zip-bench-XXXXXX";
    if (!::mkdtemp(name.data())) std::abort();
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(workDir(), ec);
    });
    return new fs::path(name);
  }();
  return *dir;
}

void put(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An archive of `count` files of `size` bytes (half random, half a repeated
// pattern, so that deflate has something to do) made with our writer.
fs::path makeArchive(const std::string& name, int count, size_t size, bool withIcon) {
  const fs::path zip = workDir() / (name + ".zip");
  if (fs::exists(zip)) return zip;
  const fs::path src = workDir() / (name + "-src");
  fs::create_directories(src);
  std::mt19937 random(7);
  vexa::QLZipArchive writer;
  writer.CreateZipFile2(zip);
  auto add = [&](const std::string& entry, size_t bytes) {
    std::string data(bytes, '\0');
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<char>(i % 2 ? random() : i % 251);
    put(src / "f", data);
    if (!writer.addFileToZip(src / "f", entry)) std::abort();
  };
  if (withIcon) add("title_keyboard_icon.png", 4000);
  for (int i = 0; i < count; ++i) {
    if (withIcon) {
      add("THUMB_" + std::to_string(i) + ".png", size / 8);
      add("IMAGE_" + std::to_string(i) + ".gif", size);
    } else {
      add("e" + std::to_string(i), size);
    }
  }
  writer.CloseZipFile2();
  fs::remove_all(src);
  return zip;
}

const fs::path& packageArchive() {
  static const fs::path zip = makeArchive("package", 400, 64 * 1024, true);
  return zip;
}

double& baseline(const std::string& family) {
  static std::map<std::string, double> seconds;
  return seconds[family];
}

// Times one extraction per iteration into a fresh folder.
template <typename Body>
double run(benchmark::State& state, const std::string& family, const fs::path& zip, Body body,
         bool isBaseline) {
  const fs::path dest = workDir() / "out";
  double total = 0;
  for (auto _ : state) {
    fs::remove_all(dest);
    fs::create_directories(dest);
    auto start = Clock::now();
    if (!body(zip, dest)) state.SkipWithError("extraction failed");
    total += std::chrono::duration<double>(Clock::now() - start).count();
  }
  const double perIteration = total / static_cast<double>(state.iterations());
  if (isBaseline) baseline(family) = perIteration;
  if (baseline(family) > 0) state.counters["x_unzip"] = perIteration / baseline(family);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(zip)));
  return perIteration;
}

bool unzipCommand(const fs::path& zip, const fs::path& dest) {
  std::string z = zip.string(), d = dest.string();
  char* argv[] = {const_cast<char*>("unzip"), const_cast<char*>("-qq"), const_cast<char*>("-o"),
                  z.data(), const_cast<char*>("-d"), d.data(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "unzip", nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool ourArchive(const fs::path& zip, const fs::path& dest) {
  vexa::QLZipArchive archive;
  archive.setMaxEntryCount(1 << 20);
  return archive.UnzipOpenFile(zip) && archive.UnzipFileTo(dest, true);
}

std::string fileBytes(const fs::path& path) {
  auto bytes = vexa::FileSystem::readFile(path);
  return bytes ? std::move(*bytes) : std::string();
}

// Reading the file is part of the work, as it is for `unzip`.
bool ourArchiveFromMemory(const fs::path& zip, const fs::path& dest) {
  vexa::QLZipArchive archive;
  archive.setMaxEntryCount(1 << 20);
  return archive.UnzipOpenData(fileBytes(zip)) && archive.UnzipFileTo(dest, true);
}

bool storeInstall(const fs::path& zip, const fs::path& dest) {
  return vexa::QLPackageZipInstaller(dest).install("bench", fileBytes(zip), dest / "icon").ok();
}

void BM_PackageUnzipCommand(benchmark::State& state) {
  run(state, "package", packageArchive(), unzipCommand, true);
}
void BM_PackageQLZipArchive(benchmark::State& state) {
  run(state, "package", packageArchive(), ourArchive, false);
}
void BM_PackageQLZipArchiveFromMemory(benchmark::State& state) {
  run(state, "package", packageArchive(), ourArchiveFromMemory, false);
}
void BM_PackageStoreInstall(benchmark::State& state) {
  run(state, "package", packageArchive(), storeInstall, false);
}

void manyEntries(benchmark::State& state, bool ours) {
  const int count = static_cast<int>(state.range(0));
  const fs::path zip = makeArchive("many" + std::to_string(count), count, 16, false);
  const std::string family = "many" + std::to_string(count);
  const double seconds = run(state, family, zip, ours ? ourArchive : unzipCommand, !ours);
  state.counters["us_per_entry"] = seconds * 1e6 / count;
}
void BM_ManyEntriesUnzipCommand(benchmark::State& state) { manyEntries(state, false); }
void BM_ManyEntriesQLZipArchive(benchmark::State& state) { manyEntries(state, true); }

}  // namespace

BENCHMARK(BM_PackageUnzipCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PackageQLZipArchive)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PackageQLZipArchiveFromMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PackageStoreInstall)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ManyEntriesUnzipCommand)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ManyEntriesQLZipArchive)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
