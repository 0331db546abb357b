// The on-device store of emoji packages.
//
// Holds the default packages (installed by the SDK itself) and the packages
// the user downloaded (newest first), the small- and big-emoji lists
// derived from them, the keyboard's selected package, the change flag, the
// images of every stored package (an image cache that never expires and
// keeps at most 60 images and 32 MiB of decoded pixels in memory) and two
// files of temporary emojis.
// Lists load from disk on first use; every file is a property list written
// atomically (see QLPackageFiles for the layout below "QLPackages").
//
// Several processes may share one store folder: every change of the lists
// takes an advisory lock there, re-reads the list it changes and writes it
// with the records it names (QLPackageLists), so no process loses
// another's package. A list file that does not parse is kept aside and
// rebuilt from the records on disk (takeListErrors() reports it once).
// Leftovers of interrupted writes and unpacks whose process is gone are
// removed when the store is made.
//
// Threads: the lists, the selection and the flag belong to the main thread.
// storePackage() and removePackage() may also be called from a background
// thread: their work then runs on the main thread through a synchronous hop
// (the caller waits; called on the main thread they run inline), and their
// notification is posted on the calling thread. Image writes of
// storeImage() run on the global queue; completions run on the main queue.
//
// Storing and removing say whether they happened and, when not, why: a
// refusal (QLStoreError) or the file system's error; nothing changes in
// memory unless the files were written. The operations that unpack and
// place downloaded files return their failure too.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/Result.h"
#include "vexa/store/QLCodeIndex.h"
#include "vexa/store/QLEmoji.h"
#include "vexa/store/QLPackage.h"
#include "vexa/store/QLPackageFiles.h"
#include "vexa/store/QLPackageLists.h"
#include "vexa/store/QLTempEmojiFile.h"
#include "vexa/store/image/QL_SDImageCache.h"

namespace vexa {

// Posted on the default notification centre, object the store, after a
// package was stored / removed; the user info holds the package's guid
// under kQLEmotionPackageGuidKey.
inline constexpr const char* kQLEmotionPackageAddNotification = "QLEmotionPackageAddNotification";
inline constexpr const char* kQLEmotionPackageRemoveNotification =
    "QLEmotionPackageRemoveNotification";
inline constexpr const char* kQLEmotionPackageGuidKey = "guid";

class QLPackageCache {
 public:
  using PackagePtr = std::shared_ptr<QLPackage>;
  using Packages = std::vector<PackagePtr>;
  using ImagePtr = QL_SDImageCache::ImagePtr;
  using DataPtr = QL_SDImageCache::DataPtr;

  static constexpr const char* kImageNamespace = "QLPackages";
  // The image folder of releases before the current namespace prefix.
  static constexpr const char* kEarlierImageNamespacePrefix = "com.tarvel.emotion.";
  static constexpr size_t kImageMemoryCountLimit = 60;
  // Bytes of decoded images the store keeps in memory; a host may change it
  // through imageCache()->setMaxMemoryCost().
  static constexpr size_t kImageMemoryCostLimit = size_t(32) << 20;

  // The process-wide store over the Application Support directory.
  static QLPackageCache& defaultCache();

  // A store whose files lie below `baseDirectory` (Application Support for
  // the process-wide one). `sharedImageCache` is searched after the store's
  // own images; by default the process-wide shared cache.
  explicit QLPackageCache(std::filesystem::path baseDirectory,
                          std::shared_ptr<QL_SDImageCache> sharedImageCache = nullptr);
  QLPackageCache(const QLPackageCache&) = delete;
  QLPackageCache& operator=(const QLPackageCache&) = delete;

  // --- Lists ---------------------------------------------------------------
  const Packages& defaultPackages();
  const Packages& downloadedPackages();
  // defaultPackages followed by downloadedPackages.
  Packages allPackages();
  // Built from allPackages on first use, then kept by store and remove.
  const Packages& smallPackages();
  const Packages& bigPackages();

  // The selection when it is still stored; otherwise the first default
  // package, which becomes the selection; nullptr when there is none.
  PackagePtr selectedPackage();
  void setSelectedPackage(PackagePtr package) { selectedPackage_ = std::move(package); }
  // Index of selectedPackage() in allPackages(), or 0.
  size_t selectedPackageIndex();

  bool packagesChanged() const { return packagesChanged_.load(); }
  void setPackagesChanged(bool changed) { packagesChanged_.store(changed); }

  bool isNeedDownloadedDefaultPackages() { return defaultPackages().empty(); }
  bool isDownloadedForPackage(const QLPackage& package);
  // Empties the default list in memory only (its file stays).
  void clearDefaultPackages();
  // Empties the memory of both image caches and forgets both lists, so that
  // they load again from disk. The derived lists and the selection stay.
  void clear();
  // The first emoji, in package then emoji order, whose emo_code is `code`:
  // over allPackages, smallPackages or bigPackages. Answered from an index
  // of each that is rebuilt at the first lookup after its list changed in
  // this store or a record's emojis or codes were set (QLCodeIndex).
  std::shared_ptr<QLEmoji> emojiWithCode(std::string_view code);
  std::shared_ptr<QLEmoji> smallEmojiWithCode(std::string_view code);
  std::shared_ptr<QLEmoji> bigEmojiWithCode(std::string_view code);
  // Since the last call: the list files found corrupt, kept aside and
  // rebuilt (QLStoreError kCorruptList), and the errors of list files that
  // could not be read (shown as empty, never written over unread).
  std::vector<Error> takeListErrors() { return lists_.takeRepairs(); }

  // --- Storing and removing ------------------------------------------------
  // True when every emoji's thumbnail is in the image store
  // (hasImageForKey()), the package is not stored yet and its guid can name
  // a file.
  bool canStorePackage(const PackagePtr& package);
  // Stores the package (default ones at the end of their list, downloaded
  // ones first), writes it to disk, sets the change flag and posts the add
  // notification. Ok when stored; otherwise why not, with nothing changed:
  // QLStoreError kUnsafeGuid, kMissingImage (a thumbnail is not in the
  // image store), kAlreadyStored (here or by another process), or the file
  // system's error of a write. The thumbnail check reads file headers on
  // the calling thread, so a caller off the main thread keeps that work off
  // it too.
  Status storePackage(const PackagePtr& package);
  // Writes the package's record.
  Status storeToDiskForPackage(const QLPackage& package);
  // Writes the records as one batch: each replaced atomically, their data
  // and the folder synced once for all. On an error some records may be
  // new and the others old, never torn.
  Status storeToDiskForPackages(const Packages& packages);
  // Writes both list files: the default one gains the defaults stored here.
  Status savePackageCache();
  Status savePackages(const Packages& packages, const std::filesystem::path& path);
  // Removes a downloaded package with its record, images and temporary
  // emojis, sets the change flag and posts the remove notification. Ok when
  // removed; otherwise why not, with nothing changed: kNotDownloaded (a
  // default or unknown package, or one another process removed) or the
  // file system's error of the list write.
  Status removePackage(const PackagePtr& package);
  void removeDiskFileForPackage(const QLPackage& package);
  Packages loadPackagesFromPath(const std::filesystem::path& path);

  std::filesystem::path diskBaseStoreDirectory() const { return baseDirectory_; }
  // The "QLPackages" folder, created when missing.
  std::filesystem::path rootPathForPackages() const { return files_.root(); }
  // The record file of the package; empty for a guid that cannot name a file.
  std::filesystem::path pathForPackage(const QLPackage& package) const;

  // --- Images --------------------------------------------------------------
  const std::shared_ptr<QL_SDImageCache>& imageCache() const { return imageCache_; }
  // Waits for the queued disk work of the store's image cache and of the
  // shared one; for a host about to exit.
  void waitForDiskWork();
  // Writes `data` (or, without data, the image as PNG) under `key` on the
  // global queue, then calls `completion` on the main queue. Neither given:
  // nothing happens and the completion is not called. Disk only.
  void storeImage(ImagePtr image, DataPtr data, std::string_view key,
                  std::function<void()> completion);
  // Unpacks the package's downloaded archive into the image directory and
  // places its tab icon under the chat_icon key; all or nothing.
  Status storeZip(const PackagePtr& package, std::string_view data);
  // Places the unpacked "THUMB_<guid>.png" and "IMAGE_<guid>.gif" of the
  // emoji under its thumbail and main_image keys. The thumbnail is placed
  // only together with the main image, so an emoji with a missing file
  // keeps its package from being stored.
  Status renameUnzipEmojiImage(const QLEmoji& emoji);
  // The image under `key` from the store (memory, else disk), else from the
  // shared image cache. The container is the record the image belongs to.
  ImagePtr imageForKey(std::string_view key);
  ImagePtr imageForKey(std::string_view key, const QLPackage& container);
  ImagePtr imageForKey(std::string_view key, const QLEmoji& container);
  // Whether an image under `key` is usable, from memory or from the header
  // of its file (store, else shared cache): type and size are read, nothing
  // is decoded or kept. Any thread.
  bool hasImageForKey(std::string_view key) const;
  // The raw bytes under `key`: the store's file, else the shared cache's.
  DataPtr imageDataForKey(std::string_view key);
  // Where the image of `key` lies (or would lie) in the store.
  std::filesystem::path imageFileURLWithKey(std::string_view key) const;
  // Whether a lookup may leave a disk hit out of memory; always false.
  bool shouldJustSaveImageToDiskForKey(std::string_view, const QLPackage&) const { return false; }
  bool shouldJustSaveImageToDiskForKey(std::string_view, const QLEmoji&) const { return false; }

  // --- Temporary emojis ----------------------------------------------------
  void saveSmallTempEmoji(const QLEmoji& emoji) { (void)smallTemp_.save(emoji); }
  void saveBigTempEmoji(const QLEmoji& emoji) { (void)bigTemp_.save(emoji); }
  void removeSmallTempEmoji(const QLEmoji& emoji) { (void)smallTemp_.remove(emoji); }
  void removeBigTempEmoji(const QLEmoji& emoji) { (void)bigTemp_.remove(emoji); }
  std::shared_ptr<QLEmoji> smallTempEmojiWithEmojiCode(std::string_view code) const;
  std::shared_ptr<QLEmoji> bigTempEmojiWithEmojiCode(std::string_view code) const;
  // The small one, else the big one.
  std::shared_ptr<QLEmoji> tempEmojiWithEmojiCode(std::string_view code) const;
  void clearSmallTempEmojis() { (void)smallTemp_.clear(); }
  void clearBigTempEmojis() { (void)bigTemp_.clear(); }
  void clearTempEmojis();

 private:
  // The store's image cache (memory, then disk), then the shared one.
  ImagePtr lookUpImage(std::string_view key, bool keepOutOfMemory);
  void moveOldFolderToVEXAFolder();
  bool thumbnailsPresent(const QLPackage& package) const;
  // Moves an unpacked file to the image under `key`; a file already there
  // from another download of the package will do.
  Status placeUnzippedFile(const std::filesystem::path& from, std::string_view key);
  Status storeOnMainThread(const PackagePtr& package);
  Status removeOnMainThread(const PackagePtr& package);
  // Derived lists drop what other processes changed; they are built again.
  void noteForeignChanges();
  // Runs `work` on the main thread and waits for it (inline there).
  static void onMainThread(const std::function<void()>& work);

  const std::filesystem::path baseDirectory_;
  const QLPackageFiles files_;
  std::shared_ptr<QL_SDImageCache> imageCache_;
  std::shared_ptr<QL_SDImageCache> sharedImageCache_;
  QLTempEmojiFile smallTemp_;
  QLTempEmojiFile bigTemp_;

  // Main thread only.
  QLPackageLists lists_;
  std::optional<Packages> smallPackages_;
  std::optional<Packages> bigPackages_;
  // Moves with every change of the two derived lists.
  uint64_t derivedGeneration_ = 0;
  QLCodeIndex allCodes_;
  QLCodeIndex smallCodes_;
  QLCodeIndex bigCodes_;
  PackagePtr selectedPackage_;
  std::atomic<bool> packagesChanged_{false};
};

}  // namespace vexa
