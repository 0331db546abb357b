// The store under faults a user meets: writes that fail, a list file that
// no longer parses, and two stores (as two processes would) sharing one
// folder.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "StoreTestSupport.h"
#include "support/ZipTestSupport.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/store/QLStoreError.h"

namespace vexa {
namespace {

using test::guidsInList;
using test::guidsOf;
using test::makePackage;
using test::placeImages;
using Strings = std::vector<std::string>;

std::shared_ptr<QLPackage> ready(QLPackageCache& store, const std::string& guid, bool isDefault = false) {
  auto p = makePackage(guid, isDefault, true);
  placeImages(store, *p, true);
  return p;
}

int notifications(const char* name, const std::function<void()>& work) {
  int count = 0;
  Subscription s = NotificationCenter::defaultCenter().addObserver(name, [&](const Notification&) { ++count; });
  work();
  return count;
}

TEST(QLPackageStoreFaultTest, AWriteThatFailsIsReportedWithItsReasonAndChangesNothing) {
  test::StoreUnderTest store;
  ASSERT_TRUE(store->storePackage(ready(*store, "A")).ok());
  // A folder where the record of B must go: the write cannot replace it.
  std::filesystem::create_directories(store.root() / "B" / "inside");
  auto b = ready(*store, "B");
  Status stored = Status::Ok();
  EXPECT_EQ(notifications(kQLEmotionPackageAddNotification, [&] { stored = store->storePackage(b); }), 0);
  ASSERT_FALSE(stored.ok());
  EXPECT_EQ(stored.error().domain(), FileSystem::kErrorDomain);
  EXPECT_NE(stored.error().description().find(store.root().string() + "/B"), std::string::npos)
      << stored.error().toString();
  EXPECT_EQ(guidsOf(store->downloadedPackages()), (Strings{"A"}));
  EXPECT_EQ(guidsInList(store.root() / "packages.plist"), (Strings{"A"}));

  // A default package whose record cannot be written is not listed either.
  std::filesystem::create_directories(store.root() / "D" / "inside");
  EXPECT_FALSE(store->storePackage(ready(*store, "D", true)).ok());
  EXPECT_TRUE(store->defaultPackages().empty());

  // The list cannot be replaced: the removal did not happen, and says so.
  auto a = store->downloadedPackages()[0];
  std::filesystem::remove(store.root() / "packages.plist");
  std::filesystem::create_directories(store.root() / "packages.plist" / "inside");
  Status removed = Status::Ok();
  EXPECT_EQ(notifications(kQLEmotionPackageRemoveNotification, [&] { removed = store->removePackage(a); }), 0);
  ASSERT_FALSE(removed.ok());
  EXPECT_EQ(removed.error().domain(), FileSystem::kErrorDomain);
  EXPECT_EQ(guidsOf(store->downloadedPackages()), (Strings{"A"}));
  EXPECT_TRUE(std::filesystem::exists(store.root() / "A"));
  EXPECT_TRUE(std::filesystem::exists(store->imageFileURLWithKey(a->chat_icon())));
}

TEST(QLPackageStoreFaultTest, ACorruptListIsKeptAsideAndRebuiltFromTheRecords) {
  test::StoreUnderTest store;
  for (const char* guid : {"A", "B", "C"}) ASSERT_TRUE(store->storePackage(ready(*store, guid)).ok());
  ASSERT_TRUE(store->storePackage(ready(*store, "D", true)).ok());
  ASSERT_TRUE(store->savePackageCache().ok());
  // Newest first is told by the records' times, which a quick test must set.
  auto t = std::filesystem::file_time_type::clock::now();
  for (const char* guid : {"C", "A", "B"}) {
    std::filesystem::last_write_time(store.root() / guid, t -= std::chrono::minutes(1));
  }
  test::writeText(store.root() / "packages.plist", "<?xml version=\"1.0\"?><plist><array><string>A");

  store.reopen();
  EXPECT_EQ(guidsOf(store->allPackages()), (Strings{"D", "C", "A", "B"}));
  std::vector<Error> repairs = store->takeListErrors();
  ASSERT_EQ(repairs.size(), 1u);
  EXPECT_EQ(repairs[0].code(), QLStoreError::kCorruptList);
  EXPECT_NE(repairs[0].description().find("packages.plist"), std::string::npos) << repairs[0].toString();
  EXPECT_TRUE(store->takeListErrors().empty()) << "reported once";
  EXPECT_EQ(guidsInList(store.root() / "packages.plist"), (Strings{"C", "A", "B"}));
  std::string aside;
  for (const auto& name : test::listTree(store.root())) {
    if (name.starts_with("packages.plist.corrupt-")) aside = name;
  }
  ASSERT_FALSE(aside.empty()) << "the corrupt file is kept";
  EXPECT_NE(FileSystem::readFile(store.root() / aside)->find("<string>A"), std::string::npos);

  store.reopen();
  EXPECT_EQ(guidsOf(store->downloadedPackages()), (Strings{"C", "A", "B"}));
  EXPECT_TRUE(store->takeListErrors().empty());

  // Found corrupt by a change, the list is repaired before it is changed.
  test::writeText(store.root() / "packages.plist", "not a list");
  ASSERT_TRUE(store->storePackage(ready(*store, "E")).ok());
  EXPECT_EQ(guidsInList(store.root() / "packages.plist"), (Strings{"E", "C", "A", "B"}));
  EXPECT_EQ(store->takeListErrors().size(), 1u);
}

TEST(QLPackageStoreFaultTest, StoresSharingAFolderSeeEachOthersPackages) {
  test::StoreUnderTest first;
  QLPackageCache second(first.base(), first.shared());
  ASSERT_TRUE(first->storePackage(ready(*first, "A")).ok());
  ASSERT_TRUE(second.downloadedPackages().size() == 1);
  ASSERT_TRUE(second.storePackage(ready(second, "B")).ok());
  ASSERT_TRUE(first->storePackage(ready(*first, "C")).ok());
  EXPECT_EQ(guidsOf(first->downloadedPackages()), (Strings{"C", "B", "A"}));
  EXPECT_EQ(guidsInList(first.root() / "packages.plist"), (Strings{"C", "B", "A"}));

  // B stored elsewhere is stored: not an error worth a second report.
  Status again = first->storePackage(ready(*first, "B"));
  EXPECT_EQ(again.error().code(), QLStoreError::kAlreadyStored);

  auto b = second.downloadedPackages()[0];
  ASSERT_EQ(b->guid(), "B");
  ASSERT_TRUE(first->removePackage(first->downloadedPackages()[1]).ok());
  Status gone = Status::Ok();
  EXPECT_EQ(notifications(kQLEmotionPackageRemoveNotification, [&] { gone = second.removePackage(b); }), 0);
  EXPECT_EQ(gone.error().code(), QLStoreError::kNotDownloaded) << "removed by the other store";
  EXPECT_EQ(guidsOf(second.downloadedPackages()), (Strings{"C", "A"}));

  // Defaults stored by two at once are listed once each.
  ASSERT_TRUE(first->storePackage(ready(*first, "D1", true)).ok());
  ASSERT_TRUE(second.storePackage(ready(second, "D1", true)).ok());
  ASSERT_TRUE(second.storePackage(ready(second, "D2", true)).ok());
  ASSERT_TRUE(first->savePackageCache().ok());
  ASSERT_TRUE(second.savePackageCache().ok());
  EXPECT_EQ(guidsInList(first.root() / "defaultpackages.plist"), (Strings{"D1", "D2"}));
}

TEST(QLPackageStoreFaultTest, LeftoversGoAtStartOnlyWhenTheirWriterIsGone) {
  test::StoreUnderTest store;
  ASSERT_TRUE(store->storePackage(ready(*store, "A")).ok());
  // A process that has surely ended: a child that exited and was reaped.
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  ::waitpid(gone, nullptr, 0);
  const std::string dead = std::to_string(gone);
  const std::string alive = std::to_string(::getppid());
  const auto images = store->imageCache()->diskCachePath();
  const std::vector<std::filesystem::path> stale = {
      store.root() / ("packages.plist.tmp." + dead + ".x3Y77z"),
      images / ("0123abcd.tmp." + dead + ".Ab12Cd"),
      images / (".unzip." + dead + ".A.00ff00ff00ff00ff") / "files" / "x.png"};
  const std::vector<std::filesystem::path> owned = {
      store.root() / ("A.tmp." + alive + ".a0B1c2"),
      images / ("0123abcd.tmp." + alive + ".Ab12Cd"),
      images / (".unzip." + alive + ".A.00ff00ff00ff00ff") / "x.png",
      store.root() / "B.tmp.notapid"};
  for (const auto& path : stale) test::writeText(path, "partial");
  for (const auto& path : owned) test::writeText(path, "being written");

  store.reopen();
  EXPECT_EQ(test::guidsOf(store->downloadedPackages()), (Strings{"A"}));
  for (const auto& path : stale) EXPECT_FALSE(std::filesystem::exists(path)) << path;
  EXPECT_FALSE(std::filesystem::exists(images / (".unzip." + dead + ".A.00ff00ff00ff00ff")));
  for (const auto& path : owned) EXPECT_TRUE(std::filesystem::exists(path)) << path;
  EXPECT_TRUE(std::filesystem::exists(store.root() / "A"));
}

}  // namespace
}  // namespace vexa
