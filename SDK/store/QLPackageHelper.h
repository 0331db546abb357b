// Questions asked of the package store: packages by index (the keyboard's
// sections are the store's allPackages in order, an index path's item the
// emoji within its package) and by guid, their images, download progress,
// emojis by code and by keyword, and the public record of an emoji.
//
// Stateless: every operation reads the store it is given (the shared one by
// default) on the calling thread, which must be the store's thread (the main
// thread). Indexes outside the store's counts give nothing (nullptr, 0 or an
// empty text) rather than failing.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/ui/IndexPath.h"
#include "vexa/store/QLEmoji.h"
#include "vexa/store/QLPackage.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/store/VXEmoji.h"

namespace vexa {

class QLPackageHelper {
 public:
  using PackagePtr = std::shared_ptr<QLPackage>;
  using EmojiPtr = std::shared_ptr<QLEmoji>;
  using Packages = std::vector<PackagePtr>;
  using Emojis = std::vector<EmojiPtr>;
  using ImagePtr = QLPackageCache::ImagePtr;
  using DataPtr = QLPackageCache::DataPtr;

  // The first downloaded package with this guid; default packages are not
  // searched.
  static PackagePtr packageWithGuid(std::string_view guid,
                                    QLPackageCache& store = QLPackageCache::defaultCache());
  static size_t countOfPackages(QLPackageCache& store = QLPackageCache::defaultCache());
  static PackagePtr packageAtIndex(int index, QLPackageCache& store = QLPackageCache::defaultCache());
  static size_t countOfEmojisAtIndex(int index,
                                     QLPackageCache& store = QLPackageCache::defaultCache());
  static EmojiPtr emojiAtIndexPath(const IndexPath& indexPath,
                                   QLPackageCache& store = QLPackageCache::defaultCache());

  // Images of the store under the record's URL keys.
  static ImagePtr bannerOfPackageAtIndex(int index,
                                         QLPackageCache& store = QLPackageCache::defaultCache());
  // The keyboard's tab icon.
  static ImagePtr chatIconOfPackageAtIndex(int index,
                                           QLPackageCache& store = QLPackageCache::defaultCache());
  static ImagePtr thumbOfEmojiAtIndexPath(const IndexPath& indexPath,
                                          QLPackageCache& store = QLPackageCache::defaultCache());
  static ImagePtr mainImageOfEmojiAtIndexPath(
      const IndexPath& indexPath, QLPackageCache& store = QLPackageCache::defaultCache());
  // The main image file's bytes.
  static DataPtr mainImageDataOfEmojiAtIndexPath(
      const IndexPath& indexPath, QLPackageCache& store = QLPackageCache::defaultCache());
  static std::string codeOfEmojiAtIndexPath(const IndexPath& indexPath,
                                            QLPackageCache& store = QLPackageCache::defaultCache());

  // The thumbnails of a downloaded package's emojis in emoji order (a
  // thumbnail missing from the store is left out); empty for any other
  // package.
  static std::vector<ImagePtr> mainImagesForPackage(
      const QLPackage& package, QLPackageCache& store = QLPackageCache::defaultCache());
  // 1 for a downloaded package, else its progress when above 0, else 0.
  static double progressForPackage(const QLPackage& package,
                                   QLPackageCache& store = QLPackageCache::defaultCache());

  // The emojis of the downloaded packages whose whole emo_text equals the
  // keyword ignoring case, in package then emoji order. White space and line
  // breaks around the keyword are ignored; none when nothing else is left.
  static std::optional<Emojis> emojisWithKeyword(
      std::string_view keyword, QLPackageCache& store = QLPackageCache::defaultCache());

  // The first emoji, in package then emoji order, whose emo_code equals the
  // code exactly: over all packages, the small-emoji ones or the big ones
  // (through the store's code indexes), or over `packages` (a scan).
  static EmojiPtr emojiWithCode(std::string_view code,
                                QLPackageCache& store = QLPackageCache::defaultCache());
  static EmojiPtr smallEmojiWithCode(std::string_view code,
                                     QLPackageCache& store = QLPackageCache::defaultCache());
  static EmojiPtr bigEmojiWithCode(std::string_view code,
                                   QLPackageCache& store = QLPackageCache::defaultCache());
  static EmojiPtr emojiWithCode(std::string_view code, const Packages& packages);

  // The first package of allPackages holding an emoji with this guid.
  static PackagePtr packageWithEmojiGuid(std::string_view guid,
                                         QLPackageCache& store = QLPackageCache::defaultCache());

  // The public record: identity, name, code and package from the emoji, the
  // image and its bytes from the store (or the shared image cache) under
  // its main_image key when they are there.
  static std::shared_ptr<VXEmoji> vxEmojiFromQLEmoji(
      const QLEmoji& emoji, QLPackageCache& store = QLPackageCache::defaultCache());
  // The same without image or bytes.
  static std::shared_ptr<VXEmoji> vxEmojiFieldsFromQLEmoji(const QLEmoji& emoji);

 private:
  static PackagePtr packageAt(const Packages& packages, int index);
};

}  // namespace vexa
