// catalog.json as a user hands it to `vexa serve --catalog`: the loader's
// checks over any text, against a directory holding a few small images, and
// the answers the service would build from whatever loads.
// Links: vexa_service
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "service/CatalogLoader.h"
#include "service/WireRecords.h"

namespace {

namespace fs = std::filesystem;

// A scratch catalogue directory for the whole run, removed at exit.
class ImageDirectory {
 public:
  ImageDirectory() {
    char pattern[] = "/tmp/vexa-catalog-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();  // never the shared directory, which is removed at exit
    path_ = pattern;
    fs::create_directories(path_ / "img");
    put("img/a.png", std::string("\x89PNG\r\n\x1a\n", 8) + "x");
    put("img/b.gif", "GIF89a x");
    put("img/c d.jpg", "\xFF\xD8\xFF x");
    put("img/notes.txt", "text");
  }
  ~ImageDirectory() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  void put(const std::string& name, const std::string& bytes) { std::ofstream(path_ / name, std::ios::binary) << bytes; }
  fs::path path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa::service;
  static const ImageDirectory directory;
  auto loaded = CatalogLoader::parse(std::string_view(reinterpret_cast<const char*>(data), size), directory.path());
  if (!loaded) return 0;
  const Catalog& catalog = **loaded;
  WireRecords wire("http://127.0.0.1:1/files/");
  for (const auto& package : catalog.packages()) {
    (void)wire.package(catalog, package, true);
    (void)catalog.archive(package.guid);
  }
  for (const auto& group : catalog.bannerGroups()) (void)wire.category(catalog, group, "banner_name");
  for (const auto& category : catalog.shopCategories()) (void)wire.category(catalog, category, "category_name");
  return 0;
}
