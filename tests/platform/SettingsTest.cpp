#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "vexa/platform/Directories.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/platform/SecureItemStore.h"
#include "vexa/platform/UserDefaults.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

TEST(DirectoriesTest, RootPlacesEverythingUnderIt) {
  test::ScopedDataRoot root;
  EXPECT_EQ(Directories::applicationSupport(), root.path() / "ApplicationSupport");
  EXPECT_EQ(Directories::caches(), root.path() / "Caches");
  EXPECT_EQ(Directories::preferences(), root.path() / "Preferences");
  EXPECT_EQ(Directories::keychain(), root.path() / "Keychain");
}

TEST(UserDefaultsTest, ValuesSurviveSynchronizeAndReload) {
  test::TempDirectory dir;
  auto file = dir / "prefs" / "d.plist";
  {
    UserDefaults d(file);
    d.setObject("timeStamp", Value(int64_t{1234}));
    d.setObject("keyVXVersion", Value("66050"));
    d.setObject("gone", Value("x"));
    d.removeObject("gone");
    ASSERT_TRUE(d.synchronize().ok());
  }
  UserDefaults again(file);
  EXPECT_EQ(again.integerForKey("timeStamp"), 1234);
  EXPECT_EQ(again.integerForKey("keyVXVersion"), 66050) << "numeric strings count";
  EXPECT_EQ(again.stringForKey("keyVXVersion"), "66050");
  EXPECT_FALSE(again.objectForKey("gone").has_value());
  EXPECT_EQ(again.integerForKey("missing"), 0);
}

TEST(UserDefaultsTest, CorruptFileReadsEmptyAndIsReplacedOnlyBySynchronize) {
  test::TempDirectory dir;
  auto file = dir / "d.plist";
  { std::ofstream(file) << "garbage"; }
  UserDefaults d(file);
  EXPECT_FALSE(d.objectForKey("a").has_value());
  d.setObject("a", Value(true));
  ASSERT_TRUE(d.synchronize().ok());
  auto v = PropertyList::readFile(file);
  ASSERT_TRUE(v.ok());
  EXPECT_EQ(*v->find("a")->asBool(), true);
}

TEST(UserDefaultsTest, KilledWriterLeavesOldOrNewFileNeverATornOne) {
  test::TempDirectory dir;
  auto file = dir / "d.plist";
  {
    UserDefaults d(file);
    d.setObject("generation", Value(int64_t{0}));
    ASSERT_TRUE(d.synchronize().ok());
  }
  for (int round = 0; round < 5; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      UserDefaults d(file);
      std::string big(20000, 'x');
      for (int64_t g = 1;; ++g) {
        d.setObject("generation", Value(g));
        d.setObject("payload", Value(big));
        (void)d.synchronize();
      }
    }
    ::usleep(20000 + round * 7000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    auto v = PropertyList::readFile(file);
    ASSERT_TRUE(v.ok()) << "round " << round << ": " << v.error().description();
    ASSERT_NE(v->find("generation"), nullptr);
  }
}

TEST(SecureItemStoreTest, ItemsPersistPrivatelyPerServiceAndAccount) {
  test::TempDirectory dir;
  auto keychain = dir / "Keychain";
  {
    SecureItemStore store(keychain);
    EXPECT_FALSE(store.password("qlemotion", "com.tarvel.qlsdk").has_value());
    ASSERT_TRUE(store.setPassword("qlemotion", "com.tarvel.qlsdk", "ID-1").ok());
    ASSERT_TRUE(store.setPassword("qlemotion", "other", "ID-2").ok());
    ASSERT_TRUE(store.setPassword("another service", "com.tarvel.qlsdk", "ID-3").ok());
  }
  SecureItemStore store(keychain);
  EXPECT_EQ(store.password("qlemotion", "com.tarvel.qlsdk"), "ID-1");
  EXPECT_EQ(store.password("qlemotion", "other"), "ID-2");
  EXPECT_EQ(store.password("another service", "com.tarvel.qlsdk"), "ID-3");

  struct stat st {};
  ASSERT_EQ(::stat(store.fileFor("qlemotion").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(keychain.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  ASSERT_TRUE(store.remove("qlemotion", "other").ok());
  EXPECT_FALSE(store.password("qlemotion", "other").has_value());
  EXPECT_EQ(store.password("qlemotion", "com.tarvel.qlsdk"), "ID-1");
}

TEST(SecureItemStoreTest, PrivateModeHoldsEvenUnderAPermissiveUmask) {
  test::TempDirectory dir;
  mode_t old = ::umask(0);
  SecureItemStore store(dir / "Keychain");
  ASSERT_TRUE(store.setPassword("s", "a", "p").ok());
  ::umask(old);
  struct stat st {};
  ASSERT_EQ(::stat(store.fileFor("s").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace vexa
