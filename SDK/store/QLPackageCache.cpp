#include "vexa/store/QLPackageCache.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "vexa/platform/Directories.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/GlobalQueue.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Once.h"
#include "vexa/store/QLPackageZipInstaller.h"
#include "vexa/store/QLStoreLeftovers.h"
#include "vexa/store/image/QLPngEncoder.h"
#include "vexa/store/QLStoreError.h"

namespace vexa {

namespace {

bool containsPackage(const QLPackageCache::Packages& list, const QLPackage& package) {
  return std::any_of(list.begin(), list.end(),
                     [&](const auto& p) { return p->isEqual(package); });
}

void eraseEqual(QLPackageCache::Packages& list, const QLPackage& package) {
  std::erase_if(list, [&](const auto& p) { return p->isEqual(package); });
}

}  // namespace

QLPackageCache& QLPackageCache::defaultCache() {
  return Once<QLPackageCache>::instance(
      [] { return new QLPackageCache(Directories::applicationSupport()); });
}

QLPackageCache::QLPackageCache(std::filesystem::path baseDirectory,
                               std::shared_ptr<QL_SDImageCache> sharedImageCache)
    : baseDirectory_(std::move(baseDirectory)),
      files_(baseDirectory_ / QLPackageFiles::kFolderName),
      imageCache_(std::make_shared<QL_SDImageCache>(kImageNamespace, baseDirectory_)),
      sharedImageCache_(sharedImageCache ? std::move(sharedImageCache)
                                         : QL_SDImageCache::sharedImageCache()),
      smallTemp_(files_.smallTempEmojisPath()),
      bigTemp_(files_.bigTempEmojisPath()),
      lists_(files_) {
  imageCache_->setMaxCacheAge(std::numeric_limits<int64_t>::max());
  imageCache_->setMaxMemoryCountLimit(kImageMemoryCountLimit);
  imageCache_->setMaxMemoryCost(kImageMemoryCostLimit);
  moveOldFolderToVEXAFolder();
  QLStoreLeftovers::sweep(files_.folder());
  QLStoreLeftovers::sweep(imageCache_->diskCachePath());
}

void QLPackageCache::moveOldFolderToVEXAFolder() {
  const auto old = baseDirectory_ / (std::string(kEarlierImageNamespacePrefix) + kImageNamespace);
  std::error_code ec;
  if (!std::filesystem::is_directory(old, ec)) return;
  // rename() replaces an empty folder but never one holding images.
  std::filesystem::rename(old, imageCache_->diskCachePath(), ec);
}

// --- Lists -------------------------------------------------------------------

const QLPackageCache::Packages& QLPackageCache::defaultPackages() {
  VX_ASSERT_MAIN_THREAD();
  return lists_.defaults();
}

const QLPackageCache::Packages& QLPackageCache::downloadedPackages() {
  VX_ASSERT_MAIN_THREAD();
  return lists_.downloaded();
}

QLPackageCache::Packages QLPackageCache::allPackages() {
  Packages all = defaultPackages();
  const Packages& downloaded = downloadedPackages();
  all.insert(all.end(), downloaded.begin(), downloaded.end());
  return all;
}

const QLPackageCache::Packages& QLPackageCache::smallPackages() {
  if (!smallPackages_) {
    Packages all = allPackages();
    std::erase_if(all, [](const auto& p) { return !p->isEmoji(); });
    smallPackages_ = std::move(all);
    ++derivedGeneration_;
  }
  return *smallPackages_;
}

const QLPackageCache::Packages& QLPackageCache::bigPackages() {
  if (!bigPackages_) {
    Packages all = allPackages();
    std::erase_if(all, [](const auto& p) { return p->isEmoji(); });
    bigPackages_ = std::move(all);
    ++derivedGeneration_;
  }
  return *bigPackages_;
}

QLPackageCache::PackagePtr QLPackageCache::selectedPackage() {
  if (selectedPackage_ && containsPackage(allPackages(), *selectedPackage_)) {
    return selectedPackage_;
  }
  const Packages& defaults = defaultPackages();
  selectedPackage_ = defaults.empty() ? nullptr : defaults.front();
  return selectedPackage_;
}

size_t QLPackageCache::selectedPackageIndex() {
  PackagePtr selected = selectedPackage();
  if (!selected) return 0;
  Packages all = allPackages();
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i]->isEqual(*selected)) return i;
  }
  return 0;
}

bool QLPackageCache::isDownloadedForPackage(const QLPackage& package) {
  return containsPackage(downloadedPackages(), package);
}

std::shared_ptr<QLEmoji> QLPackageCache::emojiWithCode(std::string_view code) {
  const Packages& defaults = defaultPackages();
  const Packages& downloaded = downloadedPackages();
  return allCodes_.find(code, lists_.generation(), {&defaults, &downloaded});
}

std::shared_ptr<QLEmoji> QLPackageCache::smallEmojiWithCode(std::string_view code) {
  const Packages& small = smallPackages();
  return smallCodes_.find(code, derivedGeneration_, {&small});
}

std::shared_ptr<QLEmoji> QLPackageCache::bigEmojiWithCode(std::string_view code) {
  const Packages& big = bigPackages();
  return bigCodes_.find(code, derivedGeneration_, {&big});
}

void QLPackageCache::clearDefaultPackages() {
  VX_ASSERT_MAIN_THREAD();
  lists_.clearDefaults();
}

void QLPackageCache::clear() {
  VX_ASSERT_MAIN_THREAD();
  imageCache_->clearMemory();
  sharedImageCache_->clearMemory();
  lists_.forget();
}

// --- Storing and removing ------------------------------------------------------

void QLPackageCache::onMainThread(const std::function<void()>& work) {
  MainQueue::shared().sync(work);
}

bool QLPackageCache::thumbnailsPresent(const QLPackage& package) const {
  // Headers only: decoding every thumbnail to check it would cost a hostile
  // archive's full decoded size, and keep it in memory unasked.
  for (const auto& emoji : package.emojis()) {
    if (!emoji || !hasImageForKey(emoji->thumbail())) return false;
  }
  return true;
}

bool QLPackageCache::canStorePackage(const PackagePtr& package) {
  if (!package || !QLPackageFiles::isSafeFileName(package->guid())) return false;
  return thumbnailsPresent(*package) && !containsPackage(allPackages(), *package);
}

Status QLPackageCache::storePackage(const PackagePtr& given) {
  const PackagePtr package = given;
  Status stored = QLStoreError::make(QLStoreError::kUnsafeGuid, "No package to store");
  if (!package) return stored;
  if (!QLPackageFiles::isSafeFileName(package->guid())) {
    return QLStoreError::make(QLStoreError::kUnsafeGuid,
                              "Package guid cannot name a file: \"" + package->guid() + "\"");
  }
  if (!thumbnailsPresent(*package)) {
    return QLStoreError::make(QLStoreError::kMissingImage,
                              "The package " + package->guid() + " lacks a thumbnail of its emojis");
  }
  onMainThread([&] { stored = storeOnMainThread(package); });
  if (stored) {
    NotificationCenter::defaultCenter().post(kQLEmotionPackageAddNotification, this,
                                             Value::dict({{kQLEmotionPackageGuidKey, package->guid()}}));
  }
  return stored;
}

Status QLPackageCache::storeOnMainThread(const PackagePtr& package) {
  VX_ASSERT_MAIN_THREAD();
  // The thumbnails were checked on the calling thread.
  const std::string& guid = package->guid();
  if (!QLPackageFiles::isSafeFileName(guid)) {
    return QLStoreError::make(QLStoreError::kUnsafeGuid, "Package guid cannot name a file: \"" + guid + "\"");
  }
  if (containsPackage(allPackages(), *package)) {
    return QLStoreError::make(QLStoreError::kAlreadyStored, "The package " + guid + " is stored already");
  }
  Status written = package->isDefault() ? lists_.appendDefault(package) : lists_.insertDownloaded(package);
  noteForeignChanges();
  if (!written) return written;
  if (package->isEmoji()) {
    smallPackages();
  } else {
    bigPackages();
  }
  // A derived list built just now already holds the package.
  Packages& derived = package->isEmoji() ? *smallPackages_ : *bigPackages_;
  if (!containsPackage(derived, *package)) {
    derived.push_back(package);
    ++derivedGeneration_;
  }
  packagesChanged_ = true;
  return Status::Ok();
}

void QLPackageCache::noteForeignChanges() {
  if (!lists_.sawForeignChange()) return;
  smallPackages_.reset();
  bigPackages_.reset();
  ++derivedGeneration_;
}

Status QLPackageCache::storeToDiskForPackage(const QLPackage& package) {
  return lists_.writeRecord(package);
}

Status QLPackageCache::storeToDiskForPackages(const Packages& packages) {
  return lists_.writeRecords(packages);
}

Status QLPackageCache::savePackageCache() { return lists_.save(); }

Status QLPackageCache::savePackages(const Packages& packages, const std::filesystem::path& path) {
  if (path.empty()) return Status::Ok();
  return lists_.saveList(packages, path);
}

Status QLPackageCache::removePackage(const PackagePtr& given) {
  // A caller may hand in an element of the list this replaces.
  const PackagePtr package = given;
  Status removed = QLStoreError::make(QLStoreError::kNotDownloaded, "No package to remove");
  if (!package) return removed;
  onMainThread([&] { removed = removeOnMainThread(package); });
  if (removed) {
    NotificationCenter::defaultCenter().post(kQLEmotionPackageRemoveNotification, this,
                                             Value::dict({{kQLEmotionPackageGuidKey, package->guid()}}));
  }
  return removed;
}

Status QLPackageCache::removeOnMainThread(const PackagePtr& package) {
  VX_ASSERT_MAIN_THREAD();
  if (!isDownloadedForPackage(*package)) {
    return QLStoreError::make(QLStoreError::kNotDownloaded,
                              "The package " + package->guid() + " is no downloaded package");
  }
  // The stored record knows every emoji whose images must go, even when the
  // caller holds a record without its emojis (as the shop does).
  PackagePtr record;
  Status removed = lists_.removeDownloaded(*package, record);
  noteForeignChanges();
  if (!removed) return removed;
  package->setProgress(0);
  if (record) record->setProgress(0);
  if (smallPackages_) eraseEqual(*smallPackages_, *package);
  if (bigPackages_) eraseEqual(*bigPackages_, *package);
  ++derivedGeneration_;
  if (record) removeDiskFileForPackage(*record);
  if (record != package) removeDiskFileForPackage(*package);
  packagesChanged_ = true;
  return Status::Ok();
}

void QLPackageCache::removeDiskFileForPackage(const QLPackage& package) {
  (void)files_.removeRecord(package.guid());
  imageCache_->removeImageForKey(package.chat_icon());
  for (const auto& emoji : package.emojis()) {
    imageCache_->removeImageForKey(emoji->thumbail());
    imageCache_->removeImageForKey(emoji->main_image());
    if (package.isEmoji()) {
      removeSmallTempEmoji(*emoji);
    } else {
      removeBigTempEmoji(*emoji);
    }
  }
}

QLPackageCache::Packages QLPackageCache::loadPackagesFromPath(const std::filesystem::path& path) {
  return files_.loadList(path);
}

std::filesystem::path QLPackageCache::pathForPackage(const QLPackage& package) const {
  auto path = files_.recordPath(package.guid());
  return path ? *path : std::filesystem::path();
}

// --- Images ----------------------------------------------------------------------

void QLPackageCache::storeImage(ImagePtr image, DataPtr data, std::string_view key,
                                std::function<void()> completion) {
  if (!image && !data) return;
  (void)FileSystem::createDirectories(imageCache_->diskCachePath());
  auto path = imageCache_->defaultCachePathForKey(key);
  GlobalQueue::shared().async([image = std::move(image), data = std::move(data),
                               path = std::move(path), completion = std::move(completion)] {
    if (data) {
      (void)FileSystem::writeAtomically(
          path, std::string_view(reinterpret_cast<const char*>(data->data()), data->size()));
    } else if (auto png = QLPngEncoder::encode(*image)) {
      (void)FileSystem::writeAtomically(
          path, std::string_view(reinterpret_cast<const char*>(png->data()), png->size()));
    }
    if (completion) MainQueue::shared().async(completion);
  });
}

Status QLPackageCache::storeZip(const PackagePtr& package, std::string_view data) {
  if (!package || !QLPackageFiles::isSafeFileName(package->guid())) {
    return QLStoreError::make(QLStoreError::kUnsafeGuid, "Package guid cannot name a file");
  }
  QLPackageZipInstaller installer(imageCache_->diskCachePath());
  Status installed =
      installer.install(package->guid(), data, imageFileURLWithKey(package->chat_icon()));
  // A stale decoded icon must not outlive the file it came from.
  imageCache_->removeImageForKey(package->chat_icon(), false);
  return installed;
}

Status QLPackageCache::renameUnzipEmojiImage(const QLEmoji& emoji) {
  if (!QLPackageFiles::isSafeFileName(emoji.guid())) {
    return QLStoreError::make(QLStoreError::kUnsafeGuid, "Emoji guid cannot name a file");
  }
  const auto dir = imageCache_->diskCachePath();
  Status main = placeUnzippedFile(dir / ("IMAGE_" + emoji.guid() + ".gif"), emoji.main_image());
  if (!main) return main;
  return placeUnzippedFile(dir / ("THUMB_" + emoji.guid() + ".png"), emoji.thumbail());
}

Status QLPackageCache::placeUnzippedFile(const std::filesystem::path& from, std::string_view key) {
  const auto target = imageFileURLWithKey(key);
  std::error_code ec;
  if (std::filesystem::is_regular_file(std::filesystem::symlink_status(from, ec))) {
    std::filesystem::rename(from, target, ec);
    if (!ec) {
      imageCache_->removeImageForKey(key, false);
      return Status::Ok();
    }
    // Another download of the same package may have placed it since the check.
    if (ec != std::errc::no_such_file_or_directory) {
      return FileSystem::errorFromErrno(ec.value(), "cannot move " + from.string());
    }
  }
  if (std::filesystem::exists(target, ec)) return Status::Ok();
  return QLStoreError::make(QLStoreError::kMissingImage,
                            "Package archive has no " + from.filename().string());
}

QLPackageCache::ImagePtr QLPackageCache::imageForKey(std::string_view key) {
  return lookUpImage(key, false);
}

QLPackageCache::ImagePtr QLPackageCache::imageForKey(std::string_view key,
                                                     const QLPackage& container) {
  return lookUpImage(key, shouldJustSaveImageToDiskForKey(key, container));
}

QLPackageCache::ImagePtr QLPackageCache::imageForKey(std::string_view key,
                                                     const QLEmoji& container) {
  return lookUpImage(key, shouldJustSaveImageToDiskForKey(key, container));
}

QLPackageCache::ImagePtr QLPackageCache::lookUpImage(std::string_view key, bool keepOutOfMemory) {
  if (auto image = imageCache_->imageFromDiskCacheForKey(key, keepOutOfMemory)) return image;
  return sharedImageCache_->imageFromDiskCacheForKey(key);
}

bool QLPackageCache::hasImageForKey(std::string_view key) const {
  if (key.empty()) return false;
  if (imageCache_->imageFromMemoryCacheForKey(key) || imageCache_->diskImageHeaderForKey(key)) {
    return true;
  }
  return sharedImageCache_->imageFromMemoryCacheForKey(key) ||
         sharedImageCache_->diskImageHeaderForKey(key);
}

QLPackageCache::DataPtr QLPackageCache::imageDataForKey(std::string_view key) {
  if (auto data = imageCache_->diskImageDataBySearchingAllPathsForKey(key)) return data;
  return sharedImageCache_->diskImageDataBySearchingAllPathsForKey(key);
}

std::filesystem::path QLPackageCache::imageFileURLWithKey(std::string_view key) const {
  return imageCache_->defaultCachePathForKey(key);
}

// --- Temporary emojis ----------------------------------------------------------------

std::shared_ptr<QLEmoji> QLPackageCache::smallTempEmojiWithEmojiCode(std::string_view code) const {
  return smallTemp_.emojiWithCode(code);
}

std::shared_ptr<QLEmoji> QLPackageCache::bigTempEmojiWithEmojiCode(std::string_view code) const {
  return bigTemp_.emojiWithCode(code);
}

std::shared_ptr<QLEmoji> QLPackageCache::tempEmojiWithEmojiCode(std::string_view code) const {
  if (auto small = smallTempEmojiWithEmojiCode(code)) return small;
  return bigTempEmojiWithEmojiCode(code);
}

void QLPackageCache::clearTempEmojis() {
  clearSmallTempEmojis();
  clearBigTempEmojis();
}

void QLPackageCache::waitForDiskWork() {
  imageCache_->waitForDiskWork();
  if (sharedImageCache_ != imageCache_) sharedImageCache_->waitForDiskWork();
}

}  // namespace vexa
