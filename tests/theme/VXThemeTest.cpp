#include <gtest/gtest.h>

#include "vexa/theme/QLEmotionColor.h"
#include "vexa/theme/VXTheme.h"

namespace vexa {
namespace {

TEST(VXThemeTest, FontSizeByScreenClass) {
  struct Case {
    Screen screen;
    double expected;
  };
  const std::vector<Case> cases = {
      {Screen::phone414x736(), 54 / 2.6},
      {{{0, 0, 736, 414}, 3, UserInterfaceIdiom::Phone}, 54 / 2.6},  // landscape counts its longer side
      {Screen::phone375x667(), 19},
      {Screen::phone320x568(), 15},
      {{{0, 0, 320, 480}, 2, UserInterfaceIdiom::Phone}, 15},
      {{{0, 0, 375, 812}, 3, UserInterfaceIdiom::Phone}, 54 / 2.6},
      {{{0, 0, 375, 667}, 2, UserInterfaceIdiom::Unspecified}, 19},
      {Screen::pad768x1024(), 54 / 2.6},
      {{{0, 0, 320, 568}, 2, UserInterfaceIdiom::Pad}, 54 / 2.6},
  };
  for (const auto& c : cases) {
    Font f = VXTheme::fontwithFontPxs({54, 38, 30}, c.screen);
    EXPECT_DOUBLE_EQ(f.pointSize, c.expected) << c.screen.bounds;
    EXPECT_EQ(f.family, Font::kSystemFamily);
    EXPECT_FALSE(f.bold);
  }
  EXPECT_NEAR(VXTheme::fontwithFontPxs({54, 38, 30}, Screen::phone414x736()).pointSize, 20.77, 0.01);
}

TEST(VXThemeTest, DefaultsFollowTheMainScreen) {
  Screen saved = Screen::main();
  Screen::setMain(Screen::phone320x568());
  VXTheme small;
  Screen::setMain(Screen::phone375x667());
  VXTheme medium;
  Screen::setMain(saved);
  EXPECT_DOUBLE_EQ(small.navigationTitleFont().pointSize, 15);
  EXPECT_DOUBLE_EQ(medium.navigationTitleFont().pointSize, 19);
  EXPECT_DOUBLE_EQ(medium.artCentreTitleFont().pointSize, 15);
  EXPECT_DOUBLE_EQ(small.artCentreTitleFont().pointSize, 13);
  EXPECT_DOUBLE_EQ(medium.reloadBtnFont().pointSize, 18);

  EXPECT_EQ(medium.separateColor(), *QLEmotionColor::ql_colorWithHexColorString("#dedede"));
  EXPECT_EQ(medium.sendBtnTitleColor(), Color::rgb255(0x45, 0xce, 0xbc));
  EXPECT_EQ(medium.navigationBarTintColor(), Color::whiteColor());
  EXPECT_EQ(medium.downloadedTilteColor(), Color::rgb255(0xbe, 0xbe, 0xbe));
  EXPECT_EQ(medium.reloadBtnColor(), Color::rgb255(0x36, 0xca, 0xb6));

  medium.setSeparateColor(Color::black());
  EXPECT_EQ(medium.separateColor(), Color::black());
}

}  // namespace
}  // namespace vexa
