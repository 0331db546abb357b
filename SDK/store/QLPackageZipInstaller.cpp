#include "vexa/store/QLPackageZipInstaller.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

#include "vexa/platform/FileSystem.h"
#include "vexa/store/QLStoreError.h"
#include "vexa/store/QLStoreLeftovers.h"

namespace vexa {

namespace {

// Removes the staging folder whatever happens.
class StagingFolder {
 public:
  explicit StagingFolder(std::filesystem::path path) : path_(std::move(path)) {}
  ~StagingFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string randomSuffix() {
  std::random_device random;
  char text[17];
  std::snprintf(text, sizeof text, "%08x%08x", random(), random());
  return text;
}

Error moveError(const std::filesystem::path& from, const std::filesystem::path& to,
                const std::error_code& ec) {
  return QLStoreError::make(QLStoreError::kMoveFailed,
                            "Cannot move " + from.string() + " to " + to.string() + ": " +
                                ec.message());
}

}  // namespace

Status QLPackageZipInstaller::install(const std::string& guid, std::string_view archive,
                                     const std::filesystem::path& iconPath) {
  if (auto made = FileSystem::createDirectories(imageDirectory_); !made) return made;
  StagingFolder staging(imageDirectory_ / (QLStoreLeftovers::kUnpackPrefix + std::to_string(::getpid()) +
                                           "." + guid + "." + randomSuffix()));
  std::error_code ec;
  if (!std::filesystem::create_directory(staging.path(), ec)) {
    return FileSystem::errorFromErrno(ec ? ec.value() : EEXIST,
                                      "cannot create " + staging.path().string());
  }
  const auto files = staging.path() / "files";

  // Read from memory: the bytes are here already, a file of them would only
  // be written to be read once and deleted.
  QLZipArchive zip;
  zip.setMaxTotalBytes(maxTotalBytes_);
  zip.setMaxEntryCount(maxEntryCount_);
  bool unpacked = zip.UnzipOpenData(std::string(archive)) && zip.UnzipFileTo(files, true);
  std::optional<Error> zipError = zip.lastError();
  zip.UnzipCloseFile();
  if (!unpacked) {
    return QLStoreError::make(QLStoreError::kArchiveFailed,
                              "Package archive " + guid + " was not installed: " +
                                  (zipError ? zipError->description() : "unknown failure"));
  }

  const auto icon = files / kIconEntryName;
  if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(icon, ec))) {
    return QLStoreError::make(QLStoreError::kMissingImage, "Package archive " + guid +
                                                               " has no " + kIconEntryName);
  }
  if (auto made = FileSystem::createDirectories(iconPath.parent_path()); !made) return made;
  std::filesystem::rename(icon, iconPath, ec);
  if (ec) return moveError(icon, iconPath, ec);
  return moveContents(files);
}

Status QLPackageZipInstaller::moveContents(const std::filesystem::path& from) {
  std::vector<std::filesystem::path> found;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(from, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    // Folders come along with their files; nothing else can be in there.
    // Only error-code forms and lexical paths: this runs on a worker, where
    // a throw would end the process.
    if (it->is_regular_file(ec)) found.push_back(it->path().lexically_relative(from));
    if (ec) break;
  }
  if (ec) return moveError(from, imageDirectory_, ec);
  Status first;
  for (const auto& relative : found) {
    const auto target = imageDirectory_ / relative;
    std::error_code moveEc;
    if (relative.has_parent_path()) std::filesystem::create_directories(target.parent_path(), moveEc);
    if (!moveEc) std::filesystem::rename(from / relative, target, moveEc);
    if (moveEc && first.ok()) first = moveError(from / relative, target, moveEc);
  }
  return first;
}

}  // namespace vexa
