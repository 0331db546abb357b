// A two-level image cache keyed by strings (image URLs in this SDK): decoded
// images in memory (QL_AutoPurgeCache) and one file per key on disk, named
// by the lower-case MD5 of the key.
//
// Two instances exist in practice: the shared cache (namespace "default",
// under the Caches directory) and the package store's own (namespace
// "QLPackages", never expiring).
//
// Threads: every method may be called from any thread. Memory reads and
// writes happen on the calling thread. Disk writes, removals, clearing,
// cleaning and the asynchronous checks run in order on the cache's serial
// queue ("com.tarvel.vexa"); their completions run on the main queue. The
// synchronous disk reads run on the calling thread and do not wait for
// pending writes; getSize() and getDiskCount() do.
//
// Files are replaced atomically, so a reader sees the old image or the new
// one, never a torn file; a file that does not decode reads as a miss.
// An empty key counts as "no key" where a key is required.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/CallbackList.h"
#include "vexa/platform/Image.h"
#include "vexa/platform/SerialQueue.h"
#include "vexa/platform/Value.h"
#include "vexa/store/image/QLCacheQueryOperation.h"
#include "vexa/store/image/QLImageHeader.h"
#include "vexa/store/image/QL_AutoPurgeCache.h"

namespace vexa {

enum class QL_SDImageCacheType { None = 0, Disk = 1, Memory = 2 };

// The 8 bytes every PNG file starts with.
inline constexpr std::array<uint8_t, 8> kPNGSignatureBytes = {137, 80, 78, 71, 13, 10, 26, 10};
// True when the data is at least 8 bytes long and starts with the PNG signature.
bool QL_ImageDataHasPNGPreffix(std::span<const uint8_t> data);

class QL_SDImageCache {
 public:
  using ImagePtr = std::shared_ptr<const Image>;
  using DataPtr = std::shared_ptr<const Bytes>;
  using NoParamsBlock = std::function<void()>;
  using QueryCompletedBlock = std::function<void(ImagePtr image, QL_SDImageCacheType cacheType)>;
  using CheckCacheCompletionBlock = std::function<void(bool isInCache)>;
  using CalculateSizeBlock = std::function<void(uint64_t fileCount, uint64_t totalSize)>;

  static constexpr const char* kNamespacePrefix = "com.tarvel.vexa.";
  static constexpr const char* kIoQueueLabel = "com.tarvel.vexa";
  static constexpr int64_t kDefaultMaxCacheAge = 60 * 60 * 24 * 7;  // one week

  // The shared instance (namespace "default"), created on first use.
  static std::shared_ptr<QL_SDImageCache> sharedImageCache();

  // Namespace "default".
  QL_SDImageCache();
  // Disk directory makeDiskCachePath(ns).
  explicit QL_SDImageCache(const std::string& ns);
  // diskCachePath is `directory` joined with "com.tarvel.vexa." + ns; without
  // a directory, makeDiskCachePath(ns). Subscribes to the memory-warning,
  // will-terminate and did-enter-background notifications until destroyed.
  QL_SDImageCache(const std::string& ns, std::optional<std::filesystem::path> directory);
  // Runs the disk work already queued before returning.
  ~QL_SDImageCache();
  QL_SDImageCache(const QL_SDImageCache&) = delete;
  QL_SDImageCache& operator=(const QL_SDImageCache&) = delete;

  // The Caches directory joined with `ns`.
  static std::filesystem::path makeDiskCachePath(const std::string& ns);
  // 32 lower-case hexadecimal digits of the MD5 of the key's UTF-8 bytes.
  static std::string cachedFileNameForKey(std::string_view key);
  std::filesystem::path defaultCachePathForKey(std::string_view key) const;
  static std::filesystem::path cachePathForKey(std::string_view key,
                                               const std::filesystem::path& inPath);
  // The memory level's cost of an image: the bytes of its decoded pixels,
  // every frame it holds (or may hold, for an animation decoded on demand)
  // counted, so that a limit in bytes means what it says.
  static size_t cacheCostForImage(const Image& image);

  const std::string& fullNamespace() const { return fullNamespace_; }
  const std::filesystem::path& diskCachePath() const { return diskCachePath_; }
  // Adds a read-only directory searched after diskCachePath (once).
  void addReadOnlyCachePath(const std::filesystem::path& path);
  std::vector<std::filesystem::path> customPaths() const;
  QL_AutoPurgeCache& memCache() { return memCache_; }

  // --- Storing -------------------------------------------------------------
  // Nothing without an image or a key. Unless shouldSaveMemory, the image goes
  // into memory. With toDisk, the serial queue writes `imageData` when given
  // and not `recalculate`; otherwise the image encoded as PNG (PNG data given,
  // or no data and an alpha channel) or as JPEG at full quality.
  void storeImage(ImagePtr image, bool recalculate, DataPtr imageData, std::string_view key,
                  bool toDisk, bool shouldSaveMemory = false);
  // Recalculated from the image, to disk.
  void storeImage(ImagePtr image, std::string_view key, bool toDisk = true);

  // --- Reading -------------------------------------------------------------
  ImagePtr imageFromMemoryCacheForKey(std::string_view key);
  // The memory image, else the disk image, which then goes into memory
  // unless shouldSaveMemory.
  ImagePtr imageFromDiskCacheForKey(std::string_view key, bool shouldSaveMemory = false);
  // The bytes at defaultCachePathForKey, else the first found in customPaths.
  DataPtr diskImageDataBySearchingAllPathsForKey(std::string_view key) const;
  DataPtr imageDataForKey(std::string_view key) const {
    return diskImageDataBySearchingAllPathsForKey(key);
  }
  // What the header of the key's file declares (the first file found, as
  // above), read from the file's first bytes without decoding it; none when
  // there is no file or its header is not that of a usable image.
  std::optional<QLImageHeader> diskImageHeaderForKey(std::string_view key) const;
  // The disk data decoded (force-decoded when shouldDecompressImages); nullptr
  // when there is no file or it does not decode.
  ImagePtr diskImageForKey(std::string_view key) const;
  // Without `done`, nothing. Without a key, done(nullptr, None) at once. A
  // memory hit calls done(image, Memory) at once and returns nullptr.
  // Otherwise the serial queue reads the disk image into memory and `done`
  // gets (image or nullptr, Disk) on the main queue, unless the returned
  // operation was cancelled first.
  std::shared_ptr<QLCacheQueryOperation> queryDiskCacheForKey(std::string_view key,
                                                              QueryCompletedBlock done);
  // Whether the key's file exists now (not waiting for pending writes).
  bool diskImageExistsWithKey(std::string_view key) const;
  // Checks after the queued disk work; the completion runs on the main queue.
  void diskImageExistsWithKey(std::string_view key, CheckCacheCompletionBlock completion);

  // --- Removing ------------------------------------------------------------
  // Nothing without a key. Removes the memory entry; with fromDisk the file
  // is deleted on the serial queue and the completion runs on the main queue
  // after that, otherwise the completion runs at once.
  void removeImageForKey(std::string_view key, bool fromDisk = true,
                         NoParamsBlock completion = nullptr);
  void clearMemory();
  // Blocks until the disk work queued so far (writes, removals, cleaning) has
  // run: a host about to exit calls it so that none of it is cut short.
  void waitForDiskWork() { ioQueue_.waitIdle(); }
  // Deletes and recreates diskCachePath on the serial queue.
  void clearDisk(NoParamsBlock completion = nullptr);
  // Removes expired files, then, above maxCacheSize, the oldest files until
  // the size is below half of it.
  void cleanDisk(NoParamsBlock completion = nullptr);
  // cleanDisk for an application going to the background.
  void backgroundCleanDisk();

  // --- Sizes ---------------------------------------------------------------
  // Bytes of the files below diskCachePath; waits for queued disk work.
  uint64_t getSize();
  // Entries below diskCachePath; waits for queued disk work.
  uint64_t getDiskCount();
  // Files (hidden ones skipped) and their bytes, on the serial queue; the
  // completion runs on the main queue.
  void calculateSize(CalculateSizeBlock completion);

  // --- Settings ------------------------------------------------------------
  // Seconds a file is kept by cleanDisk; any value is safe, and values
  // beyond the age of the epoch keep every file.
  int64_t maxCacheAge() const { return maxCacheAge_.load(); }
  void setMaxCacheAge(int64_t seconds) { maxCacheAge_.store(seconds); }
  // Bytes; 0 means no limit.
  uint64_t maxCacheSize() const { return maxCacheSize_.load(); }
  void setMaxCacheSize(uint64_t bytes) { maxCacheSize_.store(bytes); }
  bool shouldDecompressImages() const { return shouldDecompressImages_.load(); }
  void setShouldDecompressImages(bool flag) { shouldDecompressImages_.store(flag); }
  // Bytes of decoded images kept in memory; QL_AutoPurgeCache's default
  // (64 MiB) unless set, 0 for no limit.
  size_t maxMemoryCost() const { return memCache_.totalCostLimit(); }
  void setMaxMemoryCost(size_t cost) { memCache_.setTotalCostLimit(cost); }
  size_t maxMemoryCountLimit() const { return memCache_.countLimit(); }
  void setMaxMemoryCountLimit(size_t count) { memCache_.setCountLimit(count); }

 private:
  void writeToDisk(ImagePtr image, bool recalculate, DataPtr imageData, std::string key);
  void cleanDiskNow();

  const std::string fullNamespace_;
  const std::filesystem::path diskCachePath_;
  QL_AutoPurgeCache memCache_;
  mutable std::mutex pathsMutex_;
  std::vector<std::filesystem::path> customPaths_;  // GUARDED_BY(pathsMutex_)
  std::atomic<int64_t> maxCacheAge_{kDefaultMaxCacheAge};
  std::atomic<uint64_t> maxCacheSize_{0};
  std::atomic<bool> shouldDecompressImages_{true};
  std::vector<Subscription> subscriptions_;
  // Last member: destroyed first, so queued disk work runs while the rest
  // of the cache is still alive.
  SerialQueue ioQueue_{kIoQueueLabel};
};

}  // namespace vexa
