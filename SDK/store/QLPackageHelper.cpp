#include "vexa/store/QLPackageHelper.h"

#include "vexa/platform/CharacterSet.h"
#include "vexa/store/QLCaseFolding.h"

namespace vexa {
namespace {

QLPackageHelper::PackagePtr firstHoldingEmoji(const QLPackageHelper::Packages& packages,
                                              std::string_view guid) {
  for (const auto& package : packages) {
    if (!package) continue;
    for (const auto& emoji : package->emojis()) {
      if (emoji && emoji->guid() == guid) return package;
    }
  }
  return nullptr;
}

}  // namespace

QLPackageHelper::PackagePtr QLPackageHelper::packageAt(const Packages& packages, int index) {
  if (index < 0 || static_cast<size_t>(index) >= packages.size()) return nullptr;
  return packages[static_cast<size_t>(index)];
}

QLPackageHelper::PackagePtr QLPackageHelper::packageWithGuid(std::string_view guid,
                                                             QLPackageCache& store) {
  for (const auto& package : store.downloadedPackages()) {
    if (package && package->guid() == guid) return package;
  }
  return nullptr;
}

size_t QLPackageHelper::countOfPackages(QLPackageCache& store) {
  return store.defaultPackages().size() + store.downloadedPackages().size();
}

QLPackageHelper::PackagePtr QLPackageHelper::packageAtIndex(int index, QLPackageCache& store) {
  const Packages& defaults = store.defaultPackages();
  if (index >= 0 && static_cast<size_t>(index) < defaults.size()) {
    return defaults[static_cast<size_t>(index)];
  }
  return packageAt(store.downloadedPackages(), index - static_cast<int>(defaults.size()));
}

size_t QLPackageHelper::countOfEmojisAtIndex(int index, QLPackageCache& store) {
  auto package = packageAtIndex(index, store);
  return package ? package->emojis().size() : 0;
}

QLPackageHelper::EmojiPtr QLPackageHelper::emojiAtIndexPath(const IndexPath& indexPath,
                                                            QLPackageCache& store) {
  auto package = packageAtIndex(indexPath.section, store);
  if (!package || indexPath.item < 0) return nullptr;
  const auto& emojis = package->emojis();
  if (static_cast<size_t>(indexPath.item) >= emojis.size()) return nullptr;
  return emojis[static_cast<size_t>(indexPath.item)];
}

QLPackageHelper::ImagePtr QLPackageHelper::bannerOfPackageAtIndex(int index,
                                                                  QLPackageCache& store) {
  auto package = packageAtIndex(index, store);
  return package ? store.imageForKey(package->banner(), *package) : nullptr;
}

QLPackageHelper::ImagePtr QLPackageHelper::chatIconOfPackageAtIndex(int index,
                                                                    QLPackageCache& store) {
  auto package = packageAtIndex(index, store);
  return package ? store.imageForKey(package->chat_icon(), *package) : nullptr;
}

QLPackageHelper::ImagePtr QLPackageHelper::thumbOfEmojiAtIndexPath(const IndexPath& indexPath,
                                                                   QLPackageCache& store) {
  auto emoji = emojiAtIndexPath(indexPath, store);
  return emoji ? store.imageForKey(emoji->thumbail(), *emoji) : nullptr;
}

QLPackageHelper::ImagePtr QLPackageHelper::mainImageOfEmojiAtIndexPath(const IndexPath& indexPath,
                                                                       QLPackageCache& store) {
  auto emoji = emojiAtIndexPath(indexPath, store);
  return emoji ? store.imageForKey(emoji->main_image(), *emoji) : nullptr;
}

QLPackageHelper::DataPtr QLPackageHelper::mainImageDataOfEmojiAtIndexPath(
    const IndexPath& indexPath, QLPackageCache& store) {
  auto emoji = emojiAtIndexPath(indexPath, store);
  return emoji ? store.imageDataForKey(emoji->main_image()) : nullptr;
}

std::string QLPackageHelper::codeOfEmojiAtIndexPath(const IndexPath& indexPath,
                                                    QLPackageCache& store) {
  auto emoji = emojiAtIndexPath(indexPath, store);
  return emoji ? emoji->emo_code() : std::string();
}

std::vector<QLPackageHelper::ImagePtr> QLPackageHelper::mainImagesForPackage(
    const QLPackage& package, QLPackageCache& store) {
  std::vector<ImagePtr> images;
  if (!store.isDownloadedForPackage(package)) return images;
  for (const auto& emoji : package.emojis()) {
    if (!emoji) continue;
    if (auto image = store.imageForKey(emoji->thumbail(), *emoji)) images.push_back(image);
  }
  return images;
}

double QLPackageHelper::progressForPackage(const QLPackage& package, QLPackageCache& store) {
  if (store.isDownloadedForPackage(package)) return 1.0;
  return package.progress() > 0 ? package.progress() : 0.0;
}

std::optional<QLPackageHelper::Emojis> QLPackageHelper::emojisWithKeyword(std::string_view keyword,
                                                                          QLPackageCache& store) {
  static const CharacterSet blanks = CharacterSet::whitespaceAndNewlines();
  std::string_view trimmed = blanks.trim(keyword);
  if (trimmed.empty()) return std::nullopt;
  const QLCaseFolding::Key key = QLCaseFolding::key(trimmed);
  Emojis found;
  for (const auto& package : store.downloadedPackages()) {
    if (!package) continue;
    for (const auto& emoji : package->emojis()) {
      if (emoji && QLCaseFolding::matches(key, emoji->emo_text())) found.push_back(emoji);
    }
  }
  return found;
}

QLPackageHelper::EmojiPtr QLPackageHelper::emojiWithCode(std::string_view code,
                                                         QLPackageCache& store) {
  return store.emojiWithCode(code);
}

QLPackageHelper::EmojiPtr QLPackageHelper::smallEmojiWithCode(std::string_view code,
                                                              QLPackageCache& store) {
  return store.smallEmojiWithCode(code);
}

QLPackageHelper::EmojiPtr QLPackageHelper::bigEmojiWithCode(std::string_view code,
                                                            QLPackageCache& store) {
  return store.bigEmojiWithCode(code);
}

QLPackageHelper::EmojiPtr QLPackageHelper::emojiWithCode(std::string_view code,
                                                         const Packages& packages) {
  return QLCodeIndex::scan(code, {&packages});
}

QLPackageHelper::PackagePtr QLPackageHelper::packageWithEmojiGuid(std::string_view guid,
                                                                  QLPackageCache& store) {
  if (auto package = firstHoldingEmoji(store.defaultPackages(), guid)) return package;
  return firstHoldingEmoji(store.downloadedPackages(), guid);
}

std::shared_ptr<VXEmoji> QLPackageHelper::vxEmojiFieldsFromQLEmoji(const QLEmoji& emoji) {
  auto vx = std::make_shared<VXEmoji>();
  vx->setEmojiId(emoji.guid());
  vx->setEmojiName(emoji.emo_text());
  vx->setEmojiCode(emoji.emo_code());
  vx->setPackageId(emoji.package_id());
  return vx;
}

std::shared_ptr<VXEmoji> QLPackageHelper::vxEmojiFromQLEmoji(const QLEmoji& emoji,
                                                             QLPackageCache& store) {
  auto vx = vxEmojiFieldsFromQLEmoji(emoji);
  if (!emoji.main_image().empty()) {
    vx->setEmojiImage(store.imageForKey(emoji.main_image(), emoji));
    vx->setEmojiData(store.imageDataForKey(emoji.main_image()));
  }
  return vx;
}

}  // namespace vexa
