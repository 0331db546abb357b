#include <gtest/gtest.h>
#include <sys/stat.h>

#include <limits>
#include <thread>

#include "StoreTestSupport.h"
#include "support/ZipTestSupport.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/store/QLStoreError.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

using test::guidsInList;
using test::guidsOf;
using test::makePackage;
using test::placeImages;
using Strings = std::vector<std::string>;

// Counts the store's notifications and the threads they came on.
struct NotificationLog {
  explicit NotificationLog(const QLPackageCache& store) {
    for (const char* name : {kQLEmotionPackageAddNotification, kQLEmotionPackageRemoveNotification}) {
      subscriptions.push_back(NotificationCenter::defaultCenter().addObserver(
          name,
          [this](const Notification& n) {
            names.push_back(n.name);
            const Value* guid = n.userInfo.find(kQLEmotionPackageGuidKey);
            guids.push_back(guid && guid->asString() ? *guid->asString() : "(none)");
            threads.push_back(std::this_thread::get_id());
          },
          &store));
    }
  }
  Strings names;
  Strings guids;
  std::vector<std::thread::id> threads;
  std::vector<Subscription> subscriptions;
};

class QLPackageCacheTest : public ::testing::Test {
 protected:
  // Stores a package after putting its thumbnails in place.
  std::shared_ptr<QLPackage> stored(const std::string& guid, bool isDefault, bool isEmoji = true) {
    auto p = makePackage(guid, isDefault, isEmoji);
    placeImages(*store_, *p, true);
    Status s = store_->storePackage(p);
    EXPECT_TRUE(s.ok()) << guid << ": " << (s ? "" : s.error().toString());
    return p;
  }
  test::StoreUnderTest store_;
};

TEST_F(QLPackageCacheTest, PackagesKeepTheirOrderInMemoryAndInTheListFiles) {
  stored("A", false);
  stored("B", false);
  stored("D1", true);
  stored("D2", true, false);
  EXPECT_EQ(guidsOf(store_->downloadedPackages()), (Strings{"B", "A"}));
  EXPECT_EQ(guidsInList(store_.root() / "packages.plist"), (Strings{"B", "A"}));
  EXPECT_EQ(guidsOf(store_->allPackages()), (Strings{"D1", "D2", "B", "A"}));
  EXPECT_EQ(guidsOf(store_->smallPackages()), (Strings{"A", "B", "D1"}));  // in storing order
  EXPECT_EQ(guidsOf(store_->bigPackages()), (Strings{"D2"}));
  // The default list is written by whoever stored all defaults.
  EXPECT_FALSE(std::filesystem::exists(store_.root() / "defaultpackages.plist"));
  EXPECT_TRUE(store_->savePackageCache().ok());
  EXPECT_EQ(guidsInList(store_.root() / "defaultpackages.plist"), (Strings{"D1", "D2"}));
  EXPECT_TRUE(store_->packagesChanged());

  store_.reopen();
  EXPECT_EQ(guidsOf(store_->allPackages()), (Strings{"D1", "D2", "B", "A"}));
  const auto& a = store_->downloadedPackages()[1];
  EXPECT_EQ(a->emojis().size(), 2u);
  EXPECT_EQ(a->progress(), 1.0);
  EXPECT_EQ(store_->defaultPackages()[0]->packageType(), 2);
}

TEST_F(QLPackageCacheTest, ABatchRewritesOnlyTheRecordsWhoseBytesChange) {
  auto a = stored("A", false);
  auto b = stored("B", false);
  auto inode = [&](const char* guid) {
    struct stat st {};
    return ::stat((store_.root() / guid).c_str(), &st) == 0 ? st.st_ino : ino_t(0);
  };
  const ino_t before = inode("A");
  b->setName("renamed");
  ASSERT_TRUE(store_->storeToDiskForPackages({a, b}).ok());
  EXPECT_EQ(inode("A"), before);  // left alone, not replaced by a copy
  store_.reopen();
  ASSERT_EQ(store_->downloadedPackages().size(), 2u);
  EXPECT_EQ(store_->downloadedPackages()[0]->name(), "renamed");
}

TEST_F(QLPackageCacheTest, APackageIsStoredOnceAndOnlyWithAllItsThumbnails) {
  NotificationLog log(*store_);
  auto a = stored("A", false);
  EXPECT_EQ(store_->storePackage(a).error().code(), QLStoreError::kAlreadyStored);
  EXPECT_EQ(store_->storePackage(makePackage("A", false, true)).error().code(),  // equal by guid
            QLStoreError::kAlreadyStored);
  EXPECT_EQ(guidsOf(store_->allPackages()), (Strings{"A"}));
  EXPECT_EQ(log.names, (Strings{kQLEmotionPackageAddNotification}));

  auto partial = makePackage("P", false, true, 3);
  placeImages(*store_, *partial, true);
  std::filesystem::remove(store_->imageFileURLWithKey(partial->emojis()[2]->thumbail()));
  store_->setPackagesChanged(false);
  EXPECT_EQ(store_->storePackage(partial).error().code(), QLStoreError::kMissingImage);
  EXPECT_EQ(guidsOf(store_->allPackages()), (Strings{"A"}));
  EXPECT_FALSE(std::filesystem::exists(store_.root() / "P"));
  EXPECT_FALSE(store_->packagesChanged());
  EXPECT_EQ(log.names.size(), 1u);
}

TEST_F(QLPackageCacheTest, GuidsThatCannotNameAFileAreNeverStored) {
  for (const char* guid : {"", ".", "..", "../outside", "a/b", "packages.plist",
                           "defaultpackages.plist", "smalltempemojis.plist"}) {
    auto p = makePackage(guid, false, true, 0);
    EXPECT_FALSE(store_->canStorePackage(p)) << guid;
    EXPECT_EQ(store_->storePackage(p).error().code(), QLStoreError::kUnsafeGuid) << guid;
    EXPECT_TRUE(store_->pathForPackage(*p).empty()) << guid;
  }
  EXPECT_TRUE(store_->allPackages().empty());
  EXPECT_EQ(test::listTree(store_.dir()).count("outside"), 0u);
  EXPECT_EQ(test::listTree(store_.dir()).count("ApplicationSupport/outside"), 0u);
}

TEST_F(QLPackageCacheTest, DerivedListsBuiltDuringAStoreHoldThePackageOnce) {
  stored("S", false, true);
  stored("G", false, false);
  EXPECT_EQ(guidsOf(store_->smallPackages()), (Strings{"S"}));
  EXPECT_EQ(guidsOf(store_->bigPackages()), (Strings{"G"}));
}

TEST_F(QLPackageCacheTest, RemovingTakesADownloadedPackageWithItsFilesButNeverADefaultOne) {
  NotificationLog log(*store_);
  auto d = stored("D", true);
  auto a = stored("A", false);
  auto b = stored("B", false, false);
  const auto& e0 = *a->emojis()[0];
  const auto& be0 = *b->emojis()[0];
  store_->saveSmallTempEmoji(e0);
  store_->saveBigTempEmoji(e0);
  store_->saveBigTempEmoji(be0);
  store_->smallPackages();

  EXPECT_EQ(store_->removePackage(d).error().code(), QLStoreError::kNotDownloaded);
  EXPECT_EQ(guidsOf(store_->defaultPackages()), (Strings{"D"}));

  // The shop's record of A knows nothing of its emojis.
  auto shopRecord = makePackage("A", false, true, 0);
  shopRecord->setProgress(1);
  EXPECT_TRUE(store_->removePackage(shopRecord).ok());
  EXPECT_TRUE(store_->removePackage(b).ok());
  EXPECT_EQ(store_->removePackage(b).error().code(), QLStoreError::kNotDownloaded);
  store_->waitForDiskWork();
  EXPECT_EQ(shopRecord->progress(), 0);
  EXPECT_EQ(a->progress(), 0);
  EXPECT_TRUE(store_->downloadedPackages().empty());
  EXPECT_EQ(guidsOf(store_->smallPackages()), (Strings{"D"}));
  EXPECT_TRUE(guidsInList(store_.root() / "packages.plist").empty());
  for (const auto& p : {a, b}) {
    EXPECT_FALSE(std::filesystem::exists(store_.root() / p->guid()));
    EXPECT_FALSE(std::filesystem::exists(store_->imageFileURLWithKey(p->chat_icon())));
    for (const auto& e : p->emojis()) {
      EXPECT_FALSE(std::filesystem::exists(store_->imageFileURLWithKey(e->thumbail())));
      EXPECT_FALSE(std::filesystem::exists(store_->imageFileURLWithKey(e->main_image())));
    }
  }
  EXPECT_TRUE(std::filesystem::exists(store_->imageFileURLWithKey(d->chat_icon())));
  // A small package takes its emojis from the small file only.
  EXPECT_EQ(store_->smallTempEmojiWithEmojiCode(e0.emo_code()), nullptr);
  EXPECT_NE(store_->bigTempEmojiWithEmojiCode(e0.emo_code()), nullptr);
  EXPECT_EQ(store_->bigTempEmojiWithEmojiCode(be0.emo_code()), nullptr);
  const std::string add = kQLEmotionPackageAddNotification;
  const std::string remove = kQLEmotionPackageRemoveNotification;
  EXPECT_EQ(log.names, (Strings{add, add, add, remove, remove}));
  EXPECT_EQ(log.guids.back(), "B") << "the guid of the package removed";
}

TEST_F(QLPackageCacheTest, TheSelectionFallsBackToTheFirstDefaultOrNothing) {
  EXPECT_EQ(store_->selectedPackage(), nullptr);
  EXPECT_EQ(store_->selectedPackageIndex(), 0u);

  auto a = stored("A", false);
  store_->setSelectedPackage(a);
  EXPECT_TRUE(store_->removePackage(a).ok());
  EXPECT_EQ(store_->selectedPackage(), nullptr);  // no default package to fall back on

  auto d1 = stored("D1", true);
  stored("D2", true);
  auto b = stored("B", false);
  EXPECT_EQ(store_->selectedPackage(), d1);
  store_->setSelectedPackage(b);
  EXPECT_EQ(store_->selectedPackageIndex(), 2u);
  EXPECT_TRUE(store_->removePackage(b).ok());
  EXPECT_EQ(store_->selectedPackage(), d1);
  EXPECT_EQ(store_->selectedPackageIndex(), 0u);
}

TEST_F(QLPackageCacheTest, ClearReloadsTheListsFromDisk) {
  auto a = stored("A", false);
  stored("B", false);
  store_->smallPackages();
  store_->setSelectedPackage(a);
  ASSERT_TRUE(PropertyList::writeFile(store_.root() / "packages.plist",
                                      Value::array({"A", "missing", "A", 7})));
  EXPECT_EQ(guidsOf(store_->downloadedPackages()), (Strings{"B", "A"}));
  store_->clear();
  EXPECT_EQ(guidsOf(store_->downloadedPackages()), (Strings{"A"}));
  EXPECT_NE(store_->downloadedPackages()[0], a);  // a fresh record from its file
  EXPECT_EQ(guidsOf(store_->smallPackages()), (Strings{"A", "B"}));  // kept as it was
  EXPECT_EQ(store_->selectedPackage(), a);

  stored("D", true);
  EXPECT_TRUE(store_->savePackageCache().ok());
  store_->clearDefaultPackages();
  EXPECT_TRUE(store_->isNeedDownloadedDefaultPackages());
  EXPECT_EQ(guidsInList(store_.root() / "defaultpackages.plist"), (Strings{"D"}));
  store_->clear();
  EXPECT_FALSE(store_->isNeedDownloadedDefaultPackages());
}

TEST_F(QLPackageCacheTest, StoringFromABackgroundThreadHopsToTheMainThread) {
  auto p = makePackage("A", false, true);
  placeImages(*store_, *p, true);
  NotificationLog log(*store_);
  std::atomic<bool> done{false};
  std::thread::id worker;
  std::thread thread([&] {
    worker = std::this_thread::get_id();
    EXPECT_TRUE(store_->storePackage(p).ok());
    done = true;
  });
  ASSERT_TRUE(test::runUntil([&] { return done.load(); }));
  thread.join();
  EXPECT_TRUE(store_->packagesChanged());
  EXPECT_EQ(guidsOf(store_->downloadedPackages()), (Strings{"A"}));
  ASSERT_EQ(log.threads.size(), 1u);
  EXPECT_EQ(log.threads[0], worker);  // posted on the calling thread
}

TEST_F(QLPackageCacheTest, TemporaryEmojisFirstSavedWinsAndUnreadableFilesAreKept) {
  auto p = makePackage("T", false, true, 2);
  auto first = p->emojis()[0];
  auto sameCode = std::make_shared<QLEmoji>();
  sameCode->updateWithKeyValues(first->keyValues());
  sameCode->setGuid("other");
  store_->removeSmallTempEmoji(*first);
  EXPECT_FALSE(std::filesystem::exists(store_.root() / "smalltempemojis.plist"));

  store_->saveSmallTempEmoji(*first);
  store_->saveSmallTempEmoji(*sameCode);
  store_->saveBigTempEmoji(*p->emojis()[1]);
  EXPECT_EQ(store_->smallTempEmojiWithEmojiCode(first->emo_code())->guid(), first->guid());
  EXPECT_EQ(store_->tempEmojiWithEmojiCode(p->emojis()[1]->emo_code())->guid(), "T-1");
  EXPECT_EQ(store_->tempEmojiWithEmojiCode("nothing"), nullptr);
  store_->removeSmallTempEmoji(*first);
  EXPECT_EQ(store_->smallTempEmojiWithEmojiCode(first->emo_code()), nullptr);

  test::writeText(store_.root() / "bigtempemojis.plist", "<plist><array><dict>");
  store_->saveBigTempEmoji(*first);
  EXPECT_EQ(test::readText(store_.root() / "bigtempemojis.plist"), "<plist><array><dict>");
  store_->clearTempEmojis();
  EXPECT_TRUE(guidsInList(store_.root() / "bigtempemojis.plist").empty());
  EXPECT_TRUE(guidsInList(store_.root() / "smalltempemojis.plist").empty());
}

TEST_F(QLPackageCacheTest, TemporaryEmojiLookupsSeeWhatAnotherStoreWrote) {
  auto p = makePackage("T", false, true, 3);
  QLPackageCache other(store_.base(), store_.shared());
  store_->saveSmallTempEmoji(*p->emojis()[0]);
  ASSERT_NE(other.smallTempEmojiWithEmojiCode(p->emojis()[0]->emo_code()), nullptr);
  EXPECT_EQ(other.smallTempEmojiWithEmojiCode(p->emojis()[1]->emo_code()), nullptr);
  store_->saveSmallTempEmoji(*p->emojis()[1]);
  EXPECT_NE(other.smallTempEmojiWithEmojiCode(p->emojis()[1]->emo_code()), nullptr);
  store_->removeSmallTempEmoji(*p->emojis()[0]);
  EXPECT_EQ(other.smallTempEmojiWithEmojiCode(p->emojis()[0]->emo_code()), nullptr);
  other.saveSmallTempEmoji(*p->emojis()[2]);
  EXPECT_NE(store_->smallTempEmojiWithEmojiCode(p->emojis()[2]->emo_code()), nullptr);
  EXPECT_NE(store_->smallTempEmojiWithEmojiCode(p->emojis()[1]->emo_code()), nullptr);
}

TEST_F(QLPackageCacheTest, ImagesComeFromTheStoreThenTheSharedCache) {
  auto cache = store_->imageCache();
  EXPECT_EQ(cache->diskCachePath(), store_.base() / "com.tarvel.vexa.QLPackages");
  EXPECT_EQ(cache->maxCacheAge(), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(cache->maxMemoryCountLimit(), 60u);
  EXPECT_EQ(store_->imageFileURLWithKey("http://never.test/x.png"),
            cache->diskCachePath() / QL_SDImageCache::cachedFileNameForKey("http://never.test/x.png"));

  test::writeText(store_.shared()->defaultCachePathForKey("k"), test::tinyPng());
  EXPECT_NE(store_->imageForKey("k"), nullptr);
  EXPECT_EQ(store_->imageDataForKey("k")->size(), test::tinyPng().size());
  EXPECT_EQ(store_->imageForKey("absent"), nullptr);

  int completions = 0;
  const std::string png = test::tinyPng();
  store_->storeImage(nullptr, std::make_shared<Bytes>(png.begin(), png.end()), "d",
                     [&] { ++completions; });
  store_->storeImage(store_->imageForKey("k"), nullptr, "i", [&] { ++completions; });
  store_->storeImage(nullptr, nullptr, "n", [&] { completions += 100; });
  ASSERT_TRUE(test::runUntil([&] { return completions >= 2; }));
  test::spin();
  EXPECT_EQ(completions, 2);
  EXPECT_EQ(test::readText(store_->imageFileURLWithKey("d")), png);
  EXPECT_NE(cache->diskImageForKey("i"), nullptr);  // written as PNG
  EXPECT_EQ(cache->imageFromMemoryCacheForKey("d"), nullptr);  // disk only
}

TEST_F(QLPackageCacheTest, TheEarlierImageFolderMovesToTheCurrentOne) {
  const auto old = store_.base() / "com.tarvel.emotion.QLPackages";
  test::writeText(old / "abc", "image");
  store_.reopen();
  EXPECT_FALSE(std::filesystem::exists(old));
  EXPECT_EQ(test::readText(store_->imageCache()->diskCachePath() / "abc"), "image");
}

}  // namespace
}  // namespace vexa
