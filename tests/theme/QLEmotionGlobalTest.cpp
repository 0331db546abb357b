#include <gtest/gtest.h>

#include <cstdint>

#include "vexa/platform/Environment.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/theme/QLEmotionGlobal.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

// Width and height from a PNG's header or a GIF's logical screen.
std::pair<int, int> pictureSize(const Bytes& b) {
  if (b.size() >= 24 && b[0] == 0x89 && b[1] == 'P') {
    auto be32 = [&](size_t i) { return int(b[i]) << 24 | int(b[i + 1]) << 16 | int(b[i + 2]) << 8 | int(b[i + 3]); };
    return {be32(16), be32(20)};
  }
  if (b.size() >= 10 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F') {
    return {b[6] | b[7] << 8, b[8] | b[9] << 8};
  }
  return {0, 0};
}

class ScopedScreen {
 public:
  explicit ScopedScreen(const Screen& s) : saved_(Screen::main()) { Screen::setMain(s); }
  ~ScopedScreen() { Screen::setMain(saved_); }

 private:
  Screen saved_;
};

TEST(QLEmotionGlobalTest, BuiltInPictureSizesPerScale) {
  struct Case {
    const char* name;
    int w2, h2, w3, h3;
  };
  const std::vector<Case> cases = {
      {"add", 108, 108, 156, 156}, {"choosed", 38, 38, 54, 54},    {"delete", 54, 54, 82, 82},
      {"failed", 154, 104, 231, 156}, {"left_arrow", 14, 24, 19, 34}, {"mark_new", 76, 76, 114, 114},
      {"new", 76, 76, 114, 114},   {"recommend", 56, 56, 84, 84},  {"remind", 42, 42, 63, 63},
      {"shop", 107, 72, 161, 109},
  };
  EXPECT_EQ(QLEmotionGlobal::base64Images().size(), 21u);
  QLEmotionGlobal global(QLEmotionGlobal::Configuration{});
  for (const auto& c : cases) {
    {
      ScopedScreen screen(Screen::phone375x667());
      auto bytes = global.base64UIimageDataWithName(c.name);
      ASSERT_TRUE(bytes) << c.name;
      EXPECT_EQ(pictureSize(*bytes), std::make_pair(c.w2, c.h2)) << c.name;
    }
    {
      ScopedScreen screen(Screen::phone414x736());
      auto bytes = global.base64UIimageDataWithName(c.name);
      ASSERT_TRUE(bytes) << c.name;
      EXPECT_EQ(pictureSize(*bytes), std::make_pair(c.w3, c.h3)) << c.name;
    }
  }
  {
    ScopedScreen screen({{0, 0, 320, 480}, 1, UserInterfaceIdiom::Phone});  // scale 1 uses @2x
    EXPECT_EQ(pictureSize(*global.base64UIimageDataWithName("shop")), std::make_pair(107, 72));
  }
  ScopedScreen screen(Screen::phone414x736());
  auto loading = global.base64UIimageDataWithName("loading");
  ASSERT_TRUE(loading) << "found through its bare name";
  EXPECT_EQ(pictureSize(*loading), std::make_pair(208, 176));
  EXPECT_EQ(std::string(loading->begin(), loading->begin() + 6), "GIF89a");
  EXPECT_EQ(global.base64UIimageDataWithName("nothing"), std::nullopt);
  EXPECT_EQ(global.base64UIimageDataWithName(""), std::nullopt);
  EXPECT_EQ(global.base64UIimageWithName("shop"), nullptr) << "no decoder configured";
}

TEST(QLEmotionGlobalTest, PrintedScale) {
  EXPECT_EQ(QLEmotionGlobal::printedScale(1), "2");
  EXPECT_EQ(QLEmotionGlobal::printedScale(2), "2");
  EXPECT_EQ(QLEmotionGlobal::printedScale(3), "3");
  EXPECT_EQ(QLEmotionGlobal::printedScale(2.5), "2.5");
}

TEST(QLEmotionGlobalTest, TextsWithAndWithoutABundle) {
  QLEmotionGlobal none(QLEmotionGlobal::Configuration{{"/nonexistent/VEXA.bundle"}, nullptr});
  EXPECT_EQ(none.resourceBundle(), nullptr);
  EXPECT_EQ(none.resourceBundleName(), "");
  EXPECT_EQ(none.localizedStringForKey("发送"), "发送");
  EXPECT_EQ(none.localizedStringForKey("点击刷新"), "点击刷新");
  EXPECT_EQ(none.sdkUIimageWithName("back"), nullptr);
  EXPECT_EQ(QLEmotionGlobal::emotionStrings().size(), 19u);

  test::TempDirectory dir;
  auto bundleDir = dir / "VEXA.bundle";
  ASSERT_TRUE(FileSystem::createDirectories(bundleDir).ok());
  ASSERT_TRUE(FileSystem::writeAtomically(bundleDir / "VXEmotion.strings",
                                          "/* test */\n\"点击刷新\" = \"Tap to refresh\";\n\"发送\" = \"Send\";\n")
                  .ok());
  QLEmotionGlobal custom(QLEmotionGlobal::Configuration{{"/nonexistent", bundleDir}, nullptr});
  EXPECT_EQ(custom.resourceBundleName(), "VEXA.bundle");
  EXPECT_EQ(custom.localizedStringForKey("点击刷新"), "Tap to refresh");
  EXPECT_EQ(custom.localizedStringForKey("发送"), "发送") << "the fixed texts never ask the bundle";
  EXPECT_EQ(custom.localizedStringForKey("重新加载"), "重新加载");
}

TEST(QLEmotionGlobalTest, TheSDKsOwnBundleIsFoundWithItsPictures) {
  auto& global = QLEmotionGlobal::sharedInstance();
  ASSERT_NE(global.resourceBundle(), nullptr) << "the build tree's bundle";
  EXPECT_EQ(global.resourceBundleName(), "VEXA.bundle");
  EXPECT_EQ(global.localizedStringForKey("加载中..."), "加载中...");
  {
    ScopedScreen screen(Screen::phone414x736());
    auto back = global.sdkUIimageWithName("back");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->pixelWidth(), 36);
    EXPECT_EQ(global.sdkUIimageWithName("nothing"), nullptr);
    auto loading = global.base64UIimageWithName("loading");
    ASSERT_NE(loading, nullptr);
    EXPECT_TRUE(loading->isAnimated());
    EXPECT_EQ(loading->pixelWidth(), 208);
    EXPECT_EQ(loading->frameCount(), 12u);
    auto shop = global.base64UIimageWithName("shop");
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->pixelHeight(), 109);
  }
  for (const char* name : {"back", "setting", "backspace"}) {
    for (const char* scale : {"2", "3"}) {
      auto file = global.resourceBundle()->pathForResource(std::string(name) + "@" + scale + "x", "png");
      ASSERT_TRUE(file) << name << "@" << scale;
      auto bytes = FileSystem::readFile(*file);
      ASSERT_TRUE(bytes);
      EXPECT_GT(pictureSize(Bytes(bytes->begin(), bytes->end())).first, 0);
    }
  }
}

TEST(QLEmotionGlobalTest, TheEnvironmentNamesTheBundleFirst) {
  test::TempDirectory dir;
  ASSERT_TRUE(FileSystem::writeAtomically(dir / "VXEmotion.strings", "\"点击刷新\" = \"Refresh\";").ok());
  Environment::set("VEXA_BUNDLE_DIR", dir.path().string());
  auto configuration = QLEmotionGlobal::standardConfiguration();
  Environment::unset("VEXA_BUNDLE_DIR");
  const auto without = QLEmotionGlobal::standardConfiguration();
  Environment::restore("VEXA_BUNDLE_DIR");
  ASSERT_GE(configuration.bundleSearchPath.size(), 2u) << "the override, then the build tree";
  EXPECT_EQ(configuration.bundleSearchPath.front(), dir.path());
  QLEmotionGlobal global(configuration);
  EXPECT_EQ(global.localizedStringForKey("点击刷新"), "Refresh");
  EXPECT_EQ(without.bundleSearchPath.size(), configuration.bundleSearchPath.size() - 1);
}

TEST(QLEmotionGlobalTest, ThemeIsMadeWhenNoneIsSet) {
  QLEmotionGlobal global(QLEmotionGlobal::Configuration{});
  auto first = global.theme();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(global.theme(), first);
  auto mine = std::make_shared<VXTheme>();
  mine->setRetryBtnColor(Color::black());
  global.setTheme(mine);
  EXPECT_EQ(global.theme()->retryBtnColor(), Color::black());
  global.setTheme(nullptr);
  auto fresh = global.theme();
  ASSERT_NE(fresh, nullptr);
  EXPECT_NE(fresh, mine);
}

}  // namespace
}  // namespace vexa
