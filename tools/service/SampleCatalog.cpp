#include "service/SampleCatalog.h"

#include <cerrno>
#include <system_error>

#include "platform/FileSystem.h"
#include "platform/Uuid.h"
#include "service/CatalogLoader.h"
#include "service/SampleCatalogGenerator.h"

namespace vexa::service {

namespace fs = std::filesystem;

Result<fs::path> SampleCatalog::ensure(const fs::path& cacheRoot) {
  fs::path target =
      cacheRoot / ("vexa-sample-catalog-v" + std::to_string(SampleCatalogGenerator::kContentVersion));
  std::error_code ec;
  if (fs::exists(target / "catalog.json", ec)) return target;
  if (auto made = FileSystem::createDirectories(cacheRoot); !made) return made.error();
  fs::path scratch = cacheRoot / (".sample-" + Uuid::random());
  if (auto written = SampleCatalogGenerator::write(scratch); !written) {
    fs::remove_all(scratch, ec);
    return written.error();
  }
  fs::rename(scratch, target, ec);
  if (ec) {
    // Another process may have finished first; its catalogue is as good.
    fs::remove_all(scratch, ec);
    if (!fs::exists(target / "catalog.json", ec))
      return Error(FileSystem::kErrorDomain, EIO, "cannot place the sample catalogue at " + target.string());
  }
  return target;
}

Result<std::shared_ptr<const Catalog>> SampleCatalog::load(const fs::path& cacheRoot) {
  auto directory = ensure(cacheRoot);
  if (!directory) return directory.error();
  return CatalogLoader::load(*directory);
}

}  // namespace vexa::service
