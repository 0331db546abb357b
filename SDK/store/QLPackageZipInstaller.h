// Puts a downloaded package archive into the image directory, all or
// nothing.
//
// The archive is unpacked (from memory) into a hidden staging folder inside
// the image directory; only when every entry unpacked cleanly and the tab icon
// ("title_keyboard_icon.png") is among them is the icon moved to its place
// and every other file moved into the image directory under its name in
// the archive. A failed or hostile archive leaves the image directory as it
// was. One thread at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "vexa/platform/Result.h"
#include "vexa/store/zip/QLZipArchive.h"

namespace vexa {

class QLPackageZipInstaller {
 public:
  static constexpr const char* kIconEntryName = "title_keyboard_icon.png";

  explicit QLPackageZipInstaller(std::filesystem::path imageDirectory)
      : imageDirectory_(std::move(imageDirectory)) {}

  // Limits of the unpacking (see QLZipArchive).
  void setMaxTotalBytes(uint64_t v) { maxTotalBytes_ = v; }
  void setMaxEntryCount(uint64_t v) { maxEntryCount_ = v; }

  // Unpacks `archive` (the bytes of the package `guid`) and moves the icon
  // to `iconPath`.
  Status install(const std::string& guid, std::string_view archive,
                 const std::filesystem::path& iconPath);

 private:
  // Moves every file below `from` to the same place below the image
  // directory; the first failure, after trying them all.
  Status moveContents(const std::filesystem::path& from);

  std::filesystem::path imageDirectory_;
  uint64_t maxTotalBytes_ = QLZipArchive::kDefaultMaxTotalBytes;
  uint64_t maxEntryCount_ = QLZipArchive::kDefaultMaxEntryCount;
};

}  // namespace vexa
