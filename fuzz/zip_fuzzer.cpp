// Arbitrary bytes as a package archive and as an entry name. No crash, and
// nothing is ever written outside the destination, as a link, or beyond
// the limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "vexa/store/zip/QLZipArchive.h"
#include "vexa/store/zip/QLZipEntryName.h"

namespace {

constexpr uint64_t kMaxBytes = 1 << 20;

const std::filesystem::path& sandbox() {
  // Never destroyed: the exit hook that removes the folder may run after
  // static destructors.
  static const std::filesystem::path* const dir = [] {
    // Memory-backed when the system has it: the target does many small
    // file operations per input.
    std::string name = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    name += "/vexa-zip-fuzz-XXXXXX";
    if (!::mkdtemp(name.data())) std::abort();
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(sandbox(), ec);
    });
    return new std::filesystem::path(name);
  }();
  return *dir;
}

void checkName(std::string_view raw) {
  auto name = vexa::QLZipEntryName::resolve(raw);
  if (!name) return;
  for (const auto& c : name->components()) {
    if (c.empty() || c == "." || c == ".." || c.find('/') != std::string::npos) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  checkName(bytes);

  const auto dest = sandbox() / "dest";
  {
    vexa::QLZipArchive archive;
    archive.setMaxTotalBytes(kMaxBytes);
    archive.setMaxEntryCount(64);
    if (archive.UnzipOpenData(std::string(bytes), "pw")) (void)archive.UnzipFileTo(dest, true);
  }
  uint64_t total = 0;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(dest, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_symlink()) std::abort();
    if (it->is_regular_file()) total += it->file_size();
  }
  if (total > kMaxBytes) std::abort();
  for (const auto& entry : std::filesystem::directory_iterator(sandbox())) {
    const auto name = entry.path().filename();
    if (name != "dest") std::abort();
  }
  std::filesystem::remove_all(dest, ec);
  return 0;
}
