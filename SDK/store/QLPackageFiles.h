// The package store's files below its root folder ("QLPackages"): the two
// guid lists, one record file per package named by its guid, and the two
// temporary-emoji files. Every file is an XML property list replaced
// atomically; binary property lists are read too.
//
// Guids come from the service and become file names, so only guids that
// are plain names (no "/", not "." or "..", none of the store's own file
// names, no NUL, not empty) are ever turned into paths. Stateless apart
// from the root; safe on any thread.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"
#include "vexa/store/QLPackage.h"

namespace vexa {

class QLPackageFiles {
 public:
  static constexpr const char* kFolderName = "QLPackages";
  static constexpr const char* kDownloadedListName = "packages.plist";
  static constexpr const char* kDefaultListName = "defaultpackages.plist";
  static constexpr const char* kSmallTempEmojisName = "smalltempemojis.plist";
  static constexpr const char* kBigTempEmojisName = "bigtempemojis.plist";
  // The advisory lock of the store's list updates (QLStoreLock).
  static constexpr const char* kLockName = ".lock";
  // A list file that did not parse is kept aside under its name followed
  // by this and the time it was found.
  static constexpr const char* kCorruptSuffix = ".corrupt-";

  explicit QLPackageFiles(std::filesystem::path root) : root_(std::move(root)) {}

  // Whether `guid` may name a record file.
  static bool isSafeFileName(std::string_view guid);

  // The root folder, created (with its parents) when missing.
  const std::filesystem::path& root() const;
  // The same, left as it is.
  const std::filesystem::path& folder() const { return root_; }
  std::filesystem::path downloadedListPath() const { return root_ / kDownloadedListName; }
  std::filesystem::path defaultListPath() const { return root_ / kDefaultListName; }
  std::filesystem::path smallTempEmojisPath() const { return root_ / kSmallTempEmojisName; }
  std::filesystem::path bigTempEmojisPath() const { return root_ / kBigTempEmojisName; }
  std::filesystem::path lockPath() const { return root_ / kLockName; }
  // The record file of a package; an error for a guid that is no safe name.
  Result<std::filesystem::path> recordPath(std::string_view guid) const;

  // The packages named by the list at `path`, in order, each read from its
  // record file with progress 1. A missing or unreadable list gives none; a
  // guid without a readable record, an unsafe guid or a repeated one is
  // skipped.
  std::vector<std::shared_ptr<QLPackage>> loadList(const std::filesystem::path& path) const;
  // Writes the guids of `packages`, in order, as the list at `path`.
  Status saveList(const std::vector<std::shared_ptr<QLPackage>>& packages,
                  const std::filesystem::path& path) const;

  // The guids of the list at `path`, in order, without repeats; none for a
  // missing file. A file that exists but is no list of guids is a
  // QLStoreError::kCorruptList; one that cannot be read, the file system's
  // error.
  Result<std::vector<std::string>> readGuids(const std::filesystem::path& path) const;
  Status writeGuids(const std::vector<std::string>& guids, const std::filesystem::path& path) const;
  // Renames a corrupt list to "<name>.corrupt-<time>"; the new path.
  Result<std::filesystem::path> setAside(const std::filesystem::path& path) const;
  // The guids of the records on disk whose isDefault is `defaults`, in the
  // order a list of that kind would hold them: defaults oldest first,
  // downloaded packages newest first (by the records' modification times).
  std::vector<std::string> recordGuidsOnDisk(bool defaults) const;

  // Writes the package's keyValues to its record file.
  Status saveRecord(const QLPackage& package) const;
  // Writes the records as one batch (AtomicFileBatch): one sync for all; a
  // record file that holds its bytes already is not written again (an
  // upgrade over records this version wrote creates no file). Refuses the
  // whole batch, writing nothing, when a guid is unsafe.
  Status saveRecords(const std::vector<std::shared_ptr<QLPackage>>& packages) const;
  // The package of a record file, with progress 1; an error when the file is
  // missing or is not a record dictionary.
  Result<std::shared_ptr<QLPackage>> loadRecord(std::string_view guid) const;
  // Deletes the record file when it exists.
  Status removeRecord(std::string_view guid) const;

 private:
  std::filesystem::path root_;
};

}  // namespace vexa
