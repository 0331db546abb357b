#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/core/VXEmotionCentre.h"
#include "vexa/core/VXVersionManager.h"
#include "vexa/platform/UserDefaults.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

// The centre's creation writes settings and reads the store, so every case
// keeps them under a scratch data root. Each case runs in a process of its
// own under ctest; the first one here is also the first to make the centre
// when the binary runs all cases at once.
class VXEmotionCentreTest : public ::testing::Test {
 protected:
  test::ScopedDataRoot root;
};

TEST_F(VXEmotionCentreTest, CreationRecordsTheSdkVersion) {
  ASSERT_EQ(UserDefaults::standard().integerForKey("keyVXVersion"), 0);
  VXEmotionCentre::defaultCentre();
  EXPECT_EQ(UserDefaults::standard().integerForKey("keyVXVersion"), VXVersionManager::kVersion)
      << "the one-time upgrade step runs when the centre is made";
}

TEST_F(VXEmotionCentreTest, OneInstanceAlsoFromManyThreads) {
  std::vector<VXEmotionCentre*> seen(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&, i] { seen[i] = &VXEmotionCentre::defaultCentre(); });
  }
  for (auto& t : threads) t.join();
  std::set<VXEmotionCentre*> distinct(seen.begin(), seen.end());
  EXPECT_EQ(distinct.size(), 1u);
  EXPECT_EQ(*distinct.begin(), &VXEmotionCentre::defaultCentre());
}

TEST_F(VXEmotionCentreTest, CredentialsGoToTheApiClientUnchanged) {
  auto& centre = VXEmotionCentre::defaultCentre();
  centre.setAppId("app-1", "s3cret");
  centre.setUserId("");
  auto& manager = QLDownloadManager::defaultManager();
  EXPECT_EQ(manager.appId(), "app-1");
  EXPECT_EQ(manager.appSecret(), "s3cret");
  EXPECT_EQ(manager.userId(), "");
  centre.setUserId("u-9");
  EXPECT_EQ(manager.userId(), "u-9");
}

TEST_F(VXEmotionCentreTest, DelegateIsHeldWeakly) {
  auto& centre = VXEmotionCentre::defaultCentre();
  auto delegate = std::make_shared<VXEmotionCentreDelegate>();
  centre.setDelegate(delegate);
  EXPECT_EQ(centre.delegate(), delegate);
  centre.setDelegate(delegate);
  EXPECT_EQ(centre.delegate(), delegate);
  delegate.reset();
  EXPECT_EQ(centre.delegate(), nullptr) << "the centre must not keep the host's delegate alive";
  auto other = std::make_shared<VXEmotionCentreDelegate>();
  centre.setDelegate(other);
  centre.setDelegate(nullptr);
  EXPECT_EQ(centre.delegate(), nullptr);
}

TEST(VXVersionManagerTest, VersionNumberAndString) {
  EXPECT_EQ(VXVersionManager::kVersion, 66050);
  EXPECT_EQ(VXVersionManager::versionString(), "VEXA version 1.2.2");
}

}  // namespace
}  // namespace vexa
