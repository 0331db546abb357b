// The generated sample catalogue: what it must hold, animated stickers,
// stable output, and the cache.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "ServiceFixture.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/UrlEscaping.h"
#include "service/SampleCatalog.h"
#include "service/SampleCatalogGenerator.h"
#include "service/WireRecords.h"
#include "support/TempDirectory.h"

namespace vexa::test {
namespace {

namespace fs = std::filesystem;

struct GifFacts {
  int frames = 0;
  int minDelay = 0;  // hundredths of a second
  bool loops = false;
};

GifFacts inspectGif(const fs::path& path) {
  GifFacts facts;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (!gif) return facts;
  if (DGifSlurp(gif) == GIF_OK) {
    facts.frames = gif->ImageCount;
    if (facts.frames == 0) {
      DGifCloseFile(gif, &error);
      return facts;
    }
    facts.minDelay = 1 << 30;
    for (int i = 0; i < gif->ImageCount; ++i) {
      GraphicsControlBlock gcb;
      if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) facts.minDelay = std::min(facts.minDelay, gcb.DelayTime);
    }
    // The loop extension comes before the first frame, which keeps it.
    const SavedImage& first = gif->SavedImages[0];
    for (int i = 0; i < first.ExtensionBlockCount; ++i) {
      const ExtensionBlock& b = first.ExtensionBlocks[i];
      if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
          std::string(reinterpret_cast<char*>(b.Bytes), 11) == "NETSCAPE2.0")
        facts.loops = true;
    }
  }
  DGifCloseFile(gif, &error);
  return facts;
}

bool isAscii(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

TEST(SampleCatalogTest, HoldsWhatTheSdkNeeds) {
  auto catalog = SampleCatalogOnce::catalog();
  ASSERT_TRUE(catalog);
  const fs::path& dir = SampleCatalogOnce::directory();
  size_t smallPackages = 0, smallEmojis = 0, bigPackages = 0;
  bool chineseCode = false, asciiCode = false, codeNeedsEscaping = false, urlNeedsEscaping = false;
  service::WireRecords wire("http://127.0.0.1:1/files/");
  for (const auto& p : catalog->packages()) {
    for (const char* key : {"cover", "banner", "recommend_pic", "chat_icon"}) {
      const Value* ref = p.record.find(key);
      ASSERT_TRUE(ref && ref->isString()) << p.guid << " " << key;
      EXPECT_TRUE(catalog->fileForReference(*ref->asString())) << *ref->asString();
    }
    ASSERT_NE(catalog->archive(p.guid), nullptr) << p.guid;
    (p.isEmoji ? smallPackages : bigPackages)++;
    for (const auto* e : catalog->emojisOf(p)) {
      if (p.isEmoji) ++smallEmojis;
      (isAscii(e->code) ? asciiCode : chineseCode) = true;
      codeNeedsEscaping |= UrlEscaping::escape(e->code) != e->code;
      std::string url = wire.url(*e->record.find("main_image")->asString());
      urlNeedsEscaping |= UrlEscaping::escape(url) != url;
      auto gif = inspectGif(dir / *e->record.find("main_image")->asString());
      if (!p.isEmoji) {
        EXPECT_GE(gif.frames, 4) << e->code;
        EXPECT_GT(gif.minDelay, 0) << e->code;
        EXPECT_TRUE(gif.loops) << e->code;
      } else {
        EXPECT_GE(gif.frames, 1) << e->code;
      }
      auto thumb = FileSystem::readFile(dir / *e->record.find("thumbail")->asString());
      ASSERT_TRUE(thumb.ok());
      EXPECT_TRUE(thumb->starts_with("\x89PNG")) << e->code;
    }
  }
  EXPECT_GE(smallPackages, 2u);
  EXPECT_GE(smallEmojis, 30u);
  EXPECT_EQ(bigPackages, 4u);
  EXPECT_TRUE(chineseCode && asciiCode);
  EXPECT_TRUE(codeNeedsEscaping);
  EXPECT_TRUE(urlNeedsEscaping);
  ASSERT_NE(catalog->smallEmojiByCode("微笑"), nullptr);
  EXPECT_EQ(catalog->shopCategories().size(), 3u);
  EXPECT_EQ(catalog->bannerGroups().size(), 1u);
  ASSERT_TRUE(catalog->recommendCategory());
  EXPECT_FALSE(catalog->recommendCategory()->packageGuids.empty());
  ASSERT_TRUE(catalog->defaultCategory());
  for (const auto& guid : catalog->defaultCategory()->packageGuids) EXPECT_TRUE(catalog->package(guid)->isEmoji);
  EXPECT_GT(catalog->newEmojiCountTimestamp(), 0);
}

std::map<std::string, std::string> filesBelow(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    auto bytes = FileSystem::readFile(entry.path());
    files[fs::relative(entry.path(), root).string()] = bytes.ok() ? *bytes : "<unreadable>";
  }
  return files;
}

TEST(SampleCatalogTest, GenerationIsDeterministic) {
  TempDirectory again;
  ASSERT_TRUE(service::SampleCatalogGenerator::write(again.path()).ok());
  auto first = filesBelow(SampleCatalogOnce::directory());
  auto second = filesBelow(again.path());
  ASSERT_EQ(first.size(), second.size());
  for (const auto& [name, bytes] : first) {
    ASSERT_TRUE(second.count(name)) << name;
    EXPECT_TRUE(second[name] == bytes) << name << " differs between two runs";
  }
}

TEST(SampleCatalogTest, CacheIsReusedAndVersioned) {
  TempDirectory cache;
  auto made = service::SampleCatalog::ensure(cache.path());
  ASSERT_TRUE(made.ok()) << made.error().toString();
  EXPECT_EQ(made->filename().string(),
            "vexa-sample-catalog-v" + std::to_string(service::SampleCatalogGenerator::kContentVersion));
  // A file left in the cached catalogue survives a second call: nothing is
  // generated again.
  ASSERT_TRUE(FileSystem::writeAtomically(*made / "marker", "x").ok());
  auto again = service::SampleCatalog::ensure(cache.path());
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(*again, *made);
  EXPECT_TRUE(fs::exists(*made / "marker"));
  // No scratch directories are left behind.
  size_t entries = std::distance(fs::directory_iterator(cache.path()), fs::directory_iterator());
  EXPECT_EQ(entries, 1u);
}

}  // namespace
}  // namespace vexa::test
