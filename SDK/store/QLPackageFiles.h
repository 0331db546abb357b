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

  explicit QLPackageFiles(std::filesystem::path root) : root_(std::move(root)) {}

  // Whether `guid` may name a record file.
  static bool isSafeFileName(std::string_view guid);

  // The root folder, created (with its parents) when missing.
  const std::filesystem::path& root() const;
  std::filesystem::path downloadedListPath() const { return root_ / kDownloadedListName; }
  std::filesystem::path defaultListPath() const { return root_ / kDefaultListName; }
  std::filesystem::path smallTempEmojisPath() const { return root_ / kSmallTempEmojisName; }
  std::filesystem::path bigTempEmojisPath() const { return root_ / kBigTempEmojisName; }
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

  // Writes the package's keyValues to its record file.
  Status saveRecord(const QLPackage& package) const;
  // The package of a record file, with progress 1; an error when the file is
  // missing or is not a record dictionary.
  Result<std::shared_ptr<QLPackage>> loadRecord(std::string_view guid) const;
  // Deletes the record file when it exists.
  void removeRecord(std::string_view guid) const;

 private:
  std::filesystem::path root_;
};

}  // namespace vexa
