#include "service/SampleCatalog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "vexa/platform/FileSystem.h"
#include "vexa/platform/Uuid.h"
#include "service/CatalogLoader.h"
#include "service/SampleCatalogGenerator.h"

namespace vexa::service {

namespace fs = std::filesystem;

namespace {

// Flushes the file system holding the directory: one flush for all the
// generated files instead of one per file.
Status syncDirectoryTree(const fs::path& directory) {
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return FileSystem::errorFromErrno(errno, "cannot open " + directory.string());
  int rc = ::syncfs(fd);
  int err = errno;
  ::close(fd);
  if (rc != 0) return FileSystem::errorFromErrno(err, "cannot sync " + directory.string());
  return Status::Ok();
}

}  // namespace

Result<fs::path> SampleCatalog::ensure(const fs::path& cacheRoot) {
  fs::path target =
      cacheRoot / ("vexa-sample-catalog-v" + std::to_string(SampleCatalogGenerator::kContentVersion));
  std::error_code ec;
  if (fs::exists(target / "catalog.json", ec)) return target;
  if (auto made = FileSystem::createDirectories(cacheRoot); !made) return made.error();
  fs::path scratch = cacheRoot / (".sample-" + Uuid::random());
  Status written = SampleCatalogGenerator::write(scratch);
  if (written) written = syncDirectoryTree(scratch);
  if (!written) {
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
