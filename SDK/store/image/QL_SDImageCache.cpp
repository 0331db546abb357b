#include "vexa/store/image/QL_SDImageCache.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "vexa/platform/ApplicationNotifications.h"
#include "vexa/platform/Directories.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Md5.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Once.h"
#include "vexa/store/image/QLDiskCacheCleaner.h"
#include "vexa/store/image/QLImageDecoder.h"
#include "vexa/store/image/QLImageForceDecoder.h"
#include "vexa/store/image/QLJpegEncoder.h"
#include "vexa/store/image/QLPngEncoder.h"

namespace vexa {
namespace {

// Cached images are small; a file past this is not an image we wrote.
constexpr size_t kMaxFileBytes = size_t(256) << 20;

// Completions go to the main queue; on the main thread "at once" stays at once.
void onMain(std::function<void()> task) {
  if (isMainThread()) {
    task();
  } else {
    MainQueue::shared().async(std::move(task));
  }
}

std::shared_ptr<const Bytes> readBytes(const std::filesystem::path& path) {
  auto content = FileSystem::readFile(path, kMaxFileBytes);
  if (!content.ok()) return nullptr;
  const std::string& s = *content;
  return std::make_shared<const Bytes>(s.begin(), s.end());
}

}  // namespace

bool QL_ImageDataHasPNGPreffix(std::span<const uint8_t> data) {
  return data.size() >= kPNGSignatureBytes.size() &&
         std::equal(kPNGSignatureBytes.begin(), kPNGSignatureBytes.end(), data.begin());
}

std::shared_ptr<QL_SDImageCache> QL_SDImageCache::sharedImageCache() {
  return Once<std::shared_ptr<QL_SDImageCache>>::instance(
      [] { return new std::shared_ptr<QL_SDImageCache>(std::make_shared<QL_SDImageCache>()); });
}

QL_SDImageCache::QL_SDImageCache() : QL_SDImageCache("default") {}

QL_SDImageCache::QL_SDImageCache(const std::string& ns)
    : QL_SDImageCache(ns, makeDiskCachePath(ns)) {}

QL_SDImageCache::QL_SDImageCache(const std::string& ns,
                                 std::optional<std::filesystem::path> directory)
    : fullNamespace_(kNamespacePrefix + ns),
      diskCachePath_(directory ? *directory / fullNamespace_ : makeDiskCachePath(ns)),
      memCache_(fullNamespace_) {
  auto& center = NotificationCenter::defaultCenter();
  subscriptions_.push_back(
      center.addObserver(kMemoryWarningNotification, [this](const Notification&) { clearMemory(); }));
  subscriptions_.push_back(center.addObserver(kApplicationWillTerminateNotification,
                                              [this](const Notification&) { cleanDisk(); }));
  subscriptions_.push_back(center.addObserver(kApplicationDidEnterBackgroundNotification,
                                              [this](const Notification&) { backgroundCleanDisk(); }));
}

QL_SDImageCache::~QL_SDImageCache() {
  // No notification may queue work once destruction has begun.
  subscriptions_.clear();
  ioQueue_.waitIdle();
}

std::filesystem::path QL_SDImageCache::makeDiskCachePath(const std::string& ns) {
  return Directories::caches() / ns;
}

std::string QL_SDImageCache::cachedFileNameForKey(std::string_view key) {
  // The key's bytes up to a terminating zero, as a C string would give them.
  return Md5::lowerHex(key.substr(0, key.find('\0')));
}

std::filesystem::path QL_SDImageCache::defaultCachePathForKey(std::string_view key) const {
  return cachePathForKey(key, diskCachePath_);
}

std::filesystem::path QL_SDImageCache::cachePathForKey(std::string_view key,
                                                       const std::filesystem::path& inPath) {
  return inPath / cachedFileNameForKey(key);
}

size_t QL_SDImageCache::cacheCostForImage(const Image& image) { return image.cost(); }

void QL_SDImageCache::addReadOnlyCachePath(const std::filesystem::path& path) {
  std::lock_guard<std::mutex> lock(pathsMutex_);
  if (std::find(customPaths_.begin(), customPaths_.end(), path) == customPaths_.end()) {
    customPaths_.push_back(path);
  }
}

std::vector<std::filesystem::path> QL_SDImageCache::customPaths() const {
  std::lock_guard<std::mutex> lock(pathsMutex_);
  return customPaths_;
}

// --- Storing ----------------------------------------------------------------

void QL_SDImageCache::storeImage(ImagePtr image, bool recalculate, DataPtr imageData,
                                 std::string_view key, bool toDisk, bool shouldSaveMemory) {
  if (!image || key.empty()) return;
  if (!shouldSaveMemory) memCache_.setObject(std::string(key), image, cacheCostForImage(*image));
  if (!toDisk) return;
  ioQueue_.async([this, image = std::move(image), recalculate, data = std::move(imageData),
                  key = std::string(key)] { writeToDisk(image, recalculate, data, key); });
}

void QL_SDImageCache::storeImage(ImagePtr image, std::string_view key, bool toDisk) {
  storeImage(std::move(image), true, nullptr, key, toDisk, false);
}

void QL_SDImageCache::writeToDisk(ImagePtr image, bool recalculate, DataPtr imageData,
                                  std::string key) {
  // Empty data would replace a good file with one that never decodes.
  if (imageData && imageData->empty()) imageData = nullptr;
  Bytes encoded;
  const Bytes* bytes = nullptr;
  if (imageData && !recalculate) {
    bytes = imageData.get();
  } else {
    const bool usableData = imageData && imageData->size() >= kPNGSignatureBytes.size();
    const bool png = usableData ? QL_ImageDataHasPNGPreffix(*imageData) : image->hasAlphaChannel();
    auto result = png ? QLPngEncoder::encode(*image) : QLJpegEncoder::encode(*image, 1.0);
    if (!result.ok()) return;  // the previous file, if any, stays
    encoded = std::move(*result);
    bytes = &encoded;
  }
  if (!FileSystem::createDirectories(diskCachePath_)) return;
  (void)FileSystem::writeAtomically(
      defaultCachePathForKey(key),
      std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

// --- Reading ----------------------------------------------------------------

QL_SDImageCache::ImagePtr QL_SDImageCache::imageFromMemoryCacheForKey(std::string_view key) {
  return memCache_.objectForKey(key);
}

QL_SDImageCache::ImagePtr QL_SDImageCache::imageFromDiskCacheForKey(std::string_view key,
                                                                    bool shouldSaveMemory) {
  if (auto image = imageFromMemoryCacheForKey(key)) return image;
  auto image = diskImageForKey(key);
  if (image && !shouldSaveMemory) {
    memCache_.setObject(std::string(key), image, cacheCostForImage(*image));
  }
  return image;
}

QL_SDImageCache::DataPtr QL_SDImageCache::diskImageDataBySearchingAllPathsForKey(
    std::string_view key) const {
  if (auto data = readBytes(defaultCachePathForKey(key))) return data;
  for (const auto& dir : customPaths()) {
    if (auto data = readBytes(cachePathForKey(key, dir))) return data;
  }
  return nullptr;
}

std::optional<QLImageHeader> QL_SDImageCache::diskImageHeaderForKey(std::string_view key) const {
  auto headerAt = [](const std::filesystem::path& path) -> std::optional<std::optional<QLImageHeader>> {
    // A few kilobytes hold every header but that of a JPEG behind long
    // metadata segments; only then is more read.
    constexpr size_t kFirstRead = 4096;
    std::optional<QLImageHeader> found;
    for (size_t bytes : {kFirstRead, QLImageHeader::kEnoughBytes}) {
      auto head = FileSystem::readPrefix(path, bytes);
      if (!head.ok()) return std::nullopt;  // no file here: look further
      auto header = QLImageHeader::read(
          std::span(reinterpret_cast<const uint8_t*>(head->data()), head->size()));
      if (header.ok()) found = *header;
      if (header.ok() || head->size() < bytes) break;
    }
    return found;
  };
  if (auto found = headerAt(defaultCachePathForKey(key))) return *found;
  for (const auto& dir : customPaths()) {
    if (auto found = headerAt(cachePathForKey(key, dir))) return *found;
  }
  return std::nullopt;
}

QL_SDImageCache::ImagePtr QL_SDImageCache::diskImageForKey(std::string_view key) const {
  DataPtr data = diskImageDataBySearchingAllPathsForKey(key);
  if (!data) return nullptr;
  ImagePtr image = QLImageDecoder::ql_sd_imageWithData(*data);
  if (image && shouldDecompressImages()) image = QLImageForceDecoder::ql_decodedImageWithImage(image);
  return image;
}

std::shared_ptr<QLCacheQueryOperation> QL_SDImageCache::queryDiskCacheForKey(
    std::string_view key, QueryCompletedBlock done) {
  if (!done) return nullptr;
  if (key.empty()) {
    onMain([done = std::move(done)] { done(nullptr, QL_SDImageCacheType::None); });
    return nullptr;
  }
  if (auto image = imageFromMemoryCacheForKey(key)) {
    onMain([done = std::move(done), image = std::move(image)] {
      done(image, QL_SDImageCacheType::Memory);
    });
    return nullptr;
  }
  auto operation = std::make_shared<QLCacheQueryOperation>();
  ioQueue_.async([this, operation, key = std::string(key), done = std::move(done)]() mutable {
    if (operation->isCancelled()) return;
    ImagePtr image = diskImageForKey(key);
    if (image) memCache_.setObject(key, image, cacheCostForImage(*image));
    MainQueue::shared().async([operation, image = std::move(image), done = std::move(done)] {
      if (!operation->isCancelled()) done(image, QL_SDImageCacheType::Disk);
    });
  });
  return operation;
}

bool QL_SDImageCache::diskImageExistsWithKey(std::string_view key) const {
  std::error_code ec;
  return std::filesystem::exists(defaultCachePathForKey(key), ec);
}

void QL_SDImageCache::diskImageExistsWithKey(std::string_view key,
                                             CheckCacheCompletionBlock completion) {
  ioQueue_.async([this, key = std::string(key), completion = std::move(completion)]() mutable {
    const bool exists = diskImageExistsWithKey(key);
    if (completion) {
      MainQueue::shared().async([completion = std::move(completion), exists] { completion(exists); });
    }
  });
}

// --- Removing ---------------------------------------------------------------

void QL_SDImageCache::removeImageForKey(std::string_view key, bool fromDisk,
                                        NoParamsBlock completion) {
  // Without a key there is nothing to remove, but a caller waiting for the
  // completion still hears back.
  if (key.empty() || !fromDisk) {
    if (!key.empty()) memCache_.removeObjectForKey(key);
    if (completion) onMain(std::move(completion));
    return;
  }
  memCache_.removeObjectForKey(key);
  ioQueue_.async([this, key = std::string(key), completion = std::move(completion)]() mutable {
    std::error_code ec;
    std::filesystem::remove(defaultCachePathForKey(key), ec);
    if (completion) MainQueue::shared().async(std::move(completion));
  });
}

void QL_SDImageCache::clearMemory() { memCache_.removeAllObjects(); }

void QL_SDImageCache::clearDisk(NoParamsBlock completion) {
  ioQueue_.async([this, completion = std::move(completion)]() mutable {
    std::error_code ec;
    std::filesystem::remove_all(diskCachePath_, ec);
    (void)FileSystem::createDirectories(diskCachePath_);
    if (completion) MainQueue::shared().async(std::move(completion));
  });
}

void QL_SDImageCache::cleanDisk(NoParamsBlock completion) {
  ioQueue_.async([this, completion = std::move(completion)]() mutable {
    cleanDiskNow();
    if (completion) MainQueue::shared().async(std::move(completion));
  });
}

void QL_SDImageCache::cleanDiskNow() {
  QLDiskCacheCleaner::clean(QLDiskCacheCleaner::scan(diskCachePath_), QLDiskCacheCleaner::now(),
                            maxCacheAge(), maxCacheSize(), [](const std::filesystem::path& p) {
                              std::error_code ec;
                              return std::filesystem::remove(p, ec) && !ec;
                            });
}

void QL_SDImageCache::backgroundCleanDisk() {
  // The platform layer has no background-task grant to ask for; the serial
  // queue finishes the work on its own.
  cleanDisk();
}

// --- Sizes ------------------------------------------------------------------

uint64_t QL_SDImageCache::getSize() {
  uint64_t size = 0;
  ioQueue_.sync([&] {
    std::error_code ec;
    std::filesystem::recursive_directory_iterator it(diskCachePath_, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
      std::error_code fileEc;
      if (it->is_regular_file(fileEc)) {
        const uintmax_t bytes = it->file_size(fileEc);
        if (!fileEc) size += bytes;
      }
    }
  });
  return size;
}

uint64_t QL_SDImageCache::getDiskCount() {
  uint64_t count = 0;
  ioQueue_.sync([&] {
    std::error_code ec;
    std::filesystem::recursive_directory_iterator it(diskCachePath_, ec), end;
    for (; !ec && it != end; it.increment(ec)) ++count;
  });
  return count;
}

void QL_SDImageCache::calculateSize(CalculateSizeBlock completion) {
  ioQueue_.async([this, completion = std::move(completion)]() mutable {
    uint64_t count = 0, size = 0;
    std::error_code ec;
    std::filesystem::recursive_directory_iterator it(diskCachePath_, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (!name.empty() && name[0] == '.') {
        if (it->is_directory(ec)) it.disable_recursion_pending();
        ec.clear();
        continue;
      }
      ++count;
      std::error_code fileEc;
      if (it->is_regular_file(fileEc)) {
        const uintmax_t bytes = it->file_size(fileEc);
        if (!fileEc) size += bytes;
      }
    }
    if (completion) {
      MainQueue::shared().async([completion = std::move(completion), count, size] {
        completion(count, size);
      });
    }
  });
}

}  // namespace vexa
