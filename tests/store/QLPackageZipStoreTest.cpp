#include <gtest/gtest.h>

#include <map>

#include <thread>

#include "support/ExternalTools.h"
#include "support/HostileFiles.h"
#include "support/MainQueueTesting.h"
#include "StoreTestSupport.h"
#include "support/ZipTestSupport.h"
#include "vexa/store/QLPackageZipInstaller.h"
#include "vexa/store/QLStoreError.h"
#include "vexa/store/zip/QLZipArchive.h"

namespace vexa {
namespace {

using Files = std::map<std::string, std::string>;

class QLPackageZipStoreTest : public ::testing::Test {
 protected:
  // The bytes of an archive holding `files`, made with our own writer.
  std::string archive(const Files& files) {
    const auto src = store_.dir() / "src";
    std::filesystem::remove_all(src);
    QLZipArchive zip;
    EXPECT_TRUE(zip.CreateZipFile2(store_.dir() / "made.zip"));
    for (const auto& [name, data] : files) {
      test::writeText(src / name, data);
      EXPECT_TRUE(zip.addFileToZip(src / name, name));
    }
    EXPECT_TRUE(zip.CloseZipFile2());
    return test::readText(store_.dir() / "made.zip");
  }
  // What a complete archive of the package holds.
  static Files packageFiles(const QLPackage& p) {
    Files files{{"title_keyboard_icon.png", test::tinyPng()}};
    for (const auto& e : p.emojis()) {
      files["THUMB_" + e->guid() + ".png"] = test::tinyPng();
      files["IMAGE_" + e->guid() + ".gif"] = test::tinyGif();
    }
    return files;
  }
  // The pipeline's steps after the download: unpack, place, store.
  Status install(const std::shared_ptr<QLPackage>& p, const std::string& bytes) {
    Status unpacked = store_->storeZip(p, bytes);
    for (const auto& e : p->emojis()) (void)store_->renameUnzipEmojiImage(*e);
    (void)store_->storePackage(p);
    return unpacked;
  }
  std::set<std::string> imageDirectory() {
    return test::listTree(store_->imageCache()->diskCachePath());
  }

  test::StoreUnderTest store_;
};

TEST_F(QLPackageZipStoreTest, APackageArchiveLandsUnderItsImageKeys) {
  auto p = test::makePackage("Z", true, true, 3);
  ASSERT_TRUE(install(p, archive(packageFiles(*p))).ok());
  ASSERT_EQ(test::guidsOf(store_->defaultPackages()), (std::vector<std::string>{"Z"}));
  EXPECT_EQ(test::readText(store_->imageFileURLWithKey(p->chat_icon())), test::tinyPng());
  for (const auto& e : p->emojis()) {
    EXPECT_EQ(test::readText(store_->imageFileURLWithKey(e->thumbail())), test::tinyPng());
    EXPECT_EQ(test::readText(store_->imageFileURLWithKey(e->main_image())), test::tinyGif());
  }
  EXPECT_EQ(imageDirectory().size(), 7u);  // nothing else: no archive, no staging, no leftovers
}

TEST_F(QLPackageZipStoreTest, AnArchiveMissingAnImageLeavesThePackageUnstored) {
  struct Case {
    const char* guid;
    std::string missing;
    int64_t code;
  } cases[] = {
      {"A", "title_keyboard_icon.png", int64_t(QLStoreError::kMissingImage)},
      {"B", "THUMB_B-1.png", 0},
      {"C", "IMAGE_C-1.gif", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.missing);
    auto p = test::makePackage(c.guid, false, true, 2);
    Files files = packageFiles(*p);
    files.erase(c.missing);
    Status unpacked = install(p, archive(files));
    EXPECT_EQ(unpacked.ok() ? 0 : unpacked.error().code(), c.code);
    EXPECT_TRUE(store_->allPackages().empty());
    EXPECT_FALSE(std::filesystem::exists(store_.root() / c.guid));
    EXPECT_FALSE(store_->renameUnzipEmojiImage(*p->emojis()[1]).ok());
  }
}

// Six 8192 x 8192 thumbnails in a few kilobytes: the check reads their
// headers, decodes nothing and keeps nothing in memory; a thumbnail whose
// header is damaged or past the size limits keeps the package out.
TEST_F(QLPackageZipStoreTest, ThumbnailsAreCheckedFromTheirHeadersAlone) {
  auto p = test::makePackage("H", false, true, 6);
  Files files = packageFiles(*p);
  for (const auto& e : p->emojis()) files["THUMB_" + e->guid() + ".png"] = test::hostile::pngBlackBits(8192, 8192);
  const std::string bytes = archive(files);
  ASSERT_LT(bytes.size(), 8u << 10);
  // Stored from another thread, as the download pipeline does.
  std::thread worker([&] { EXPECT_TRUE(install(p, bytes).ok()); });
  ASSERT_TRUE(test::runUntil([&] { return !store_->allPackages().empty(); }));
  worker.join();
  EXPECT_EQ(test::guidsOf(store_->allPackages()), (std::vector<std::string>{"H"}));
  EXPECT_EQ(store_->imageCache()->memCache().count(), 0u);
  EXPECT_EQ(store_.shared()->memCache().count(), 0u);

  for (const auto& [guid, thumb] : {std::pair{"D", std::string("\x89PNG\r\n\x1a\n damaged")},
                                    {"L", test::hostile::pngBlackBits(16385, 1)}}) {
    auto q = test::makePackage(guid, false, true, 1);
    Files bad = packageFiles(*q);
    bad["THUMB_" + q->emojis()[0]->guid() + ".png"] = thumb;
    ASSERT_TRUE(install(q, archive(bad)).ok());
    EXPECT_FALSE(store_->canStorePackage(q)) << guid;
  }
  EXPECT_EQ(test::guidsOf(store_->allPackages()), (std::vector<std::string>{"H"}));
}

TEST_F(QLPackageZipStoreTest, HostileOrDamagedArchivesLeaveTheImageDirectoryAsItWas) {
  VX_REQUIRE_TOOL("python3");
  auto p = test::makePackage("Z", false, true, 1);
  test::writeText(store_->imageFileURLWithKey("kept"), "kept image");
  const auto before = imageDirectory();
  const auto zip = store_.dir() / "hostile.zip";
  struct Case {
    const char* what;
    std::string json;
    const char* patch;
  };
  std::string deep;  // deeper than the system's path limit once below the staging folder
  for (int i = 0; i < 2100; ++i) deep += "a/";
  const Case cases[] = {
      {"traversal", R"([{"name": "title_keyboard_icon.png", "data": "x"}, {"name": "THUMB_Z-0.png", "data": "x"},
          {"name": "../../../evil", "data": "x"}])", nullptr},
      {"absolute name", R"([{"name": "title_keyboard_icon.png", "data": "x"}, {"name": "/tmp/evil", "data": "x"}])", nullptr},
      {"symbolic link", R"([{"name": "title_keyboard_icon.png", "data": "x"}, {"name": "l", "symlink": "/"}])", nullptr},
      {"wrong CRC", R"([{"name": "title_keyboard_icon.png", "data": "icon data"}])", "crc"},
      {"nested too deep", R"([{"name": "title_keyboard_icon.png", "data": "x"}, {"name": ")" + deep +
                              R"(x", "data": "x"}])", nullptr},
      {"bzip2, which is not inflated here",
       R"([{"name": "title_keyboard_icon.png", "data": "x"}, {"name": "THUMB_Z-0.png", "data": "x", "bzip2": true}])",
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(test::pythonZip(zip, c.json), 0);
    if (c.patch) {
      ASSERT_EQ(test::patchZip(zip, c.patch, "12345"), 0);
    }
    Status unpacked = install(p, test::readText(zip));
    ASSERT_FALSE(unpacked.ok());
    EXPECT_EQ(unpacked.error().code(), QLStoreError::kArchiveFailed);
    EXPECT_EQ(imageDirectory(), before);
  }
  const std::string whole = archive(packageFiles(*p));
  EXPECT_FALSE(install(p, whole.substr(0, whole.size() / 2)).ok());
  EXPECT_FALSE(install(p, "").ok());
  EXPECT_EQ(imageDirectory(), before);
  EXPECT_TRUE(store_->allPackages().empty());
  EXPECT_FALSE(std::filesystem::exists(store_.dir() / "evil"));
}

TEST_F(QLPackageZipStoreTest, ABombStopsAtTheInstallersLimit) {
  const auto dir = store_.dir() / "images";
  QLPackageZipInstaller installer(dir);
  installer.setMaxTotalBytes(1 << 20);
  Status installed = installer.install(
      "Z", archive({{"title_keyboard_icon.png", "x"}, {"big", std::string(4 << 20, '\0')}}),
      dir / "icon");
  ASSERT_FALSE(installed.ok());
  EXPECT_NE(installed.error().description().find("limit"), std::string::npos);
  EXPECT_TRUE(test::listTree(dir).empty());
}

TEST_F(QLPackageZipStoreTest, PackageArchivesMadeByInfoZip) {
  VX_REQUIRE_TOOL("zip");
  auto p = test::makePackage("Z", false, false, 2);
  const auto src = store_.dir() / "zsrc";
  for (const auto& [name, data] : packageFiles(*p)) test::writeText(src / name, data);
  std::string bytes;
  ASSERT_EQ(test::runCommand({"zip", "-q", "-r", "-", "."}, src, &bytes), 0);
  ASSERT_TRUE(install(p, bytes).ok());
  EXPECT_EQ(test::guidsOf(store_->bigPackages()), (std::vector<std::string>{"Z"}));
}

}  // namespace
}  // namespace vexa
