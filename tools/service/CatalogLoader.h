// Reads a catalogue directory into a Catalog and refuses bad input with an
// error that names the file, the place in it and the fault.
//
// Layout of a catalogue directory:
//   catalog.json   the description (below)
//   any files      images, referenced from catalog.json by relative paths
//
// catalog.json is a JSON object:
//   "format": 1                         optional; other values are refused
//   "newEmojiCountTimestamp": integer   milliseconds since 1970, default 0
//   "packages": [package, ...]          at least one
//   "defaultCategory", "recommendCategory": category   optional
//   "bannerGroups", "shopCategories": [category, ...]  optional
// package: "guid", "name", "is_emoji" (required); "promotion"; "intro",
//   "copyright", "author", "createtime", "updatetime", "packageText"
//   (strings); "cover", "chat_icon" (required images), "banner",
//   "recommend_pic" (images); "tags"; "emoticions": [emoji, ...], at least one.
// emoji: "guid", "emo_code", "thumbail", "main_image" (required); "emo_text"
//   (defaults to the code); "emojitype" (integer); "tags".
// tag: "guid", "label". category: "guid", "name", "packages" (package guids).
// Images are paths relative to the directory (no "..", no "?" or "#") of
// PNG, GIF, JPEG or WebP files, or absolute http(s) URLs served as they
// stand. Guids are 1 to 64 of [A-Za-z0-9_-] and unique among packages,
// among emojis and among categories; codes are unique among small emojis
// and among big ones and hold no "[" or "]". Unknown keys are refused.
//
// Stateless and thread-safe.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "vexa/platform/Result.h"
#include "service/Catalog.h"

namespace vexa::service {

class CatalogLoader {
 public:
  static const char* const kErrorDomain;  // "VXCatalogErrorDomain"
  enum Code : int64_t { kMissingFile = 1, kMalformed = 2, kInvalid = 3, kDuplicate = 4 };

  static constexpr size_t kMaxDescriptionBytes = size_t(16) << 20;
  static constexpr size_t kMaxImageBytes = size_t(32) << 20;

  // Loads <directory>/catalog.json, checks every image and builds every
  // package archive whose images are local.
  static Result<std::shared_ptr<const Catalog>> load(const std::filesystem::path& directory);
  // The same for a description given as text; references resolve against
  // the directory.
  static Result<std::shared_ptr<const Catalog>> parse(std::string_view json,
                                                      const std::filesystem::path& directory);
};

}  // namespace vexa::service
