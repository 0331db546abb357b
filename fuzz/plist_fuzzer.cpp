// Arbitrary bytes as the store's files: a list of guids, a package record or
// a temporary-emoji file. No crash; a record that loads is written back as a
// property list that loads again as the same package.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "vexa/platform/PropertyList.h"
#include "vexa/store/QLPackageFiles.h"
#include "vexa/store/QLTempEmojiFile.h"

namespace {

bool holdsNul(const vexa::Value& v) {
  if (const auto* s = v.asString()) return s->find('\0') != std::string::npos;
  if (const auto* a = v.asArray()) {
    for (const auto& e : *a) {
      if (holdsNul(e)) return true;
    }
  }
  if (const auto* d = v.asDictionary()) {
    for (const auto& [k, e] : *d) {
      if (k.find('\0') != std::string::npos || holdsNul(e)) return true;
    }
  }
  return false;
}

const std::filesystem::path& scratch() {
  // Never destroyed: the exit hook that removes the folder may run after
  // static destructors.
  static const std::filesystem::path* const dir = [] {
    // Memory-backed when the system has it: the target does many small
    // file operations per input.
    std::string name = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    name += "/vexa-plist-fuzz-XXXXXX";
    if (!::mkdtemp(name.data())) std::abort();
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(scratch(), ec);
    });
    return new std::filesystem::path(name);
  }();
  return *dir;
}

// A plain write: the fuzzer needs no durability, and flushing would slow it.
void put(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Through the files, as the store reads them.
  const vexa::QLPackageFiles files(scratch());
  put(scratch() / "R", bytes);
  put(files.downloadedListPath(), bytes);
  (void)files.loadList(files.downloadedListPath());
  auto record = files.loadRecord("R");
  (void)vexa::QLTempEmojiFile(files.downloadedListPath()).emojiWithCode("a");

  // A record that loads survives being written and read again.
  if (record) {
    vexa::Value written = (*record)->keyValues();
    if (holdsNul(written)) return 0;  // C strings end there
    auto xml = vexa::PropertyList::toXml(written);
    if (!xml) std::abort();
    auto back = vexa::PropertyList::parse(*xml);
    if (!back) std::abort();
    vexa::QLPackage again;
    again.updateWithKeyValues(*back);
    if (!(again.keyValues() == written)) std::abort();
  }
  return 0;
}
