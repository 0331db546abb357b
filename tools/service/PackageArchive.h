// The zip archive of a package as the SDK's store unpacks it: at the top
// level "title_keyboard_icon.png" (the chat icon) and, per emoji,
// "THUMB_<guid>.png" (its thumbnail) and "IMAGE_<guid>.gif" (its main image).
#pragma once

#include <optional>
#include <string>

#include "vexa/platform/Result.h"
#include "service/Catalog.h"

namespace vexa::service {

class PackageArchive {
 public:
  static constexpr const char* kIconEntry = "title_keyboard_icon.png";
  static std::string thumbnailEntry(const std::string& emojiGuid) { return "THUMB_" + emojiGuid + ".png"; }
  static std::string mainImageEntry(const std::string& emojiGuid) { return "IMAGE_" + emojiGuid + ".gif"; }

  // The archive of one package of the contents; none when one of the
  // images it needs is a remote URL. Files must be listed in contents.files.
  static Result<std::optional<std::string>> build(const Catalog::Package& package,
                                                  const Catalog::Contents& contents);
};

}  // namespace vexa::service
