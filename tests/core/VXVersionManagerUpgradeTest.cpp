#include <gtest/gtest.h>

#include "vexa/core/VXVersionManager.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/PropertyList.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

std::shared_ptr<QLPackage> package(const std::string& guid, bool isDefault, bool isEmoji) {
  auto p = std::make_shared<QLPackage>();
  p->setGuid(guid);
  p->setIsDefault(isDefault);
  p->setIsEmoji(isEmoji);
  return p;
}

class VXVersionManagerUpgradeTest : public ::testing::Test {
 protected:
  VXVersionManagerUpgradeTest() {
    store.allPackages = [this] { return packages; };
    store.storeToDiskForPackages = [this](const QLPackageUpgradeStore::Packages& batch) -> Status {
      if (failWrites) return Error("test", 5, "disk full");
      for (const auto& p : batch) written.push_back(p->guid());
      return Status::Ok();
    };
  }

  test::TempDirectory dir;
  UserDefaults defaults{dir / "prefs.plist"};
  VXVersionManager manager{&defaults};
  std::vector<std::shared_ptr<QLPackage>> packages{package("default", true, false), package("shop", false, true)};
  std::vector<std::string> written;
  bool failWrites = false;
  QLPackageUpgradeStore store;
};

TEST_F(VXVersionManagerUpgradeTest, FromNothingRecordedPackagesAreMigratedOnce) {
  EXPECT_EQ(manager.lastVersion(), 0);
  ASSERT_TRUE(manager.checkForUpdate(store).ok());
  EXPECT_TRUE(packages[0]->isEmoji());
  EXPECT_FALSE(packages[1]->isEmoji());
  EXPECT_EQ(written, (std::vector<std::string>{"default", "shop"}));
  EXPECT_EQ(manager.lastVersion(), 66050);
  auto onDisk = PropertyList::readFile(dir / "prefs.plist");
  ASSERT_TRUE(onDisk.ok()) << "the version is flushed at once";
  EXPECT_EQ(*onDisk->find("keyVXVersion"), Value(66050));

  packages[1]->setIsEmoji(true);
  ASSERT_TRUE(manager.checkForUpdate(store).ok());
  EXPECT_TRUE(packages[1]->isEmoji()) << "a second start changes nothing";
  EXPECT_EQ(written.size(), 2u);
}

TEST_F(VXVersionManagerUpgradeTest, RecordsNotWrittenLeaveTheVersionUnrecordedSoTheStepRunsAgain) {
  failWrites = true;
  EXPECT_FALSE(manager.checkForUpdate(store).ok());
  EXPECT_EQ(manager.lastVersion(), 0);
  failWrites = false;
  ASSERT_TRUE(manager.checkForUpdate(store).ok());
  EXPECT_EQ(written, (std::vector<std::string>{"default", "shop"}));
  EXPECT_EQ(manager.lastVersion(), VXVersionManager::kVersion);
}

TEST_F(VXVersionManagerUpgradeTest, FromAnOlderVersionOnlyTheNumberChanges) {
  ASSERT_TRUE(manager.setLastVersion(0x010100).ok());
  ASSERT_TRUE(manager.checkForUpdate(store).ok());
  EXPECT_FALSE(packages[0]->isEmoji());
  EXPECT_TRUE(written.empty());
  EXPECT_EQ(manager.lastVersion(), VXVersionManager::kVersion);
}

TEST_F(VXVersionManagerUpgradeTest, ANewerRecordedVersionIsLeftAlone) {
  ASSERT_TRUE(manager.setLastVersion(0x020000).ok());
  ASSERT_TRUE(manager.checkForUpdate(store).ok());
  EXPECT_EQ(manager.lastVersion(), 0x020000);
}

TEST_F(VXVersionManagerUpgradeTest, AnUnwritableSettingsFileIsReported) {
  // A file where the settings directory should be: not even root can write there.
  ASSERT_TRUE(FileSystem::writeAtomically(dir / "blocked", "x").ok());
  UserDefaults unwritable(dir / "blocked" / "prefs.plist");
  VXVersionManager m(&unwritable);
  EXPECT_FALSE(m.checkForUpdate(store).ok());
}

TEST(VXVersionManagerTest, VersionText) {
  EXPECT_EQ(VXVersionManager::defaultManager().vexaVersion(), "VEXA version 1.2.2");
  EXPECT_EQ(&VXVersionManager::defaultManager(), &VXVersionManager::defaultManager());
}

}  // namespace
}  // namespace vexa
