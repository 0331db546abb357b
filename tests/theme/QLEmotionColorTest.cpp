#include <gtest/gtest.h>

#include "vexa/theme/QLEmotionColor.h"

namespace vexa {
namespace {

TEST(QLEmotionColorTest, HexadecimalVariants) {
  const Color grey5c = Color::rgb255(0x5c, 0x5c, 0x5c);
  for (const char* text : {"#5c5c5c", "5C5C5C", "0x5c5c5c", "0X5C5C5C", "  #5c5c5c \n", "\t0x#5c5c5c"}) {
    auto c = QLEmotionColor::ql_colorWithHexColorString(text);
    ASSERT_TRUE(c.has_value()) << text;
    EXPECT_EQ(*c, grey5c) << text;
    EXPECT_EQ(c->alpha(), 1.0);
  }
  for (const char* text : {"#fff", "#5c5c5cff", "", "#", "5c5c5", "#5g5c5c", "0x5c5c5", "#+5c5c5", "中文中文中文"}) {
    EXPECT_EQ(QLEmotionColor::ql_colorWithHexColorString(text), std::nullopt) << text;
  }
  auto mixed = QLEmotionColor::ql_colorWithHexColorString("#36CAb6");
  ASSERT_TRUE(mixed);
  EXPECT_DOUBLE_EQ(QLEmotionColor::ql_red(*mixed), 0x36 / 255.0);
  EXPECT_DOUBLE_EQ(QLEmotionColor::ql_green(*mixed), 0xca / 255.0);
  EXPECT_DOUBLE_EQ(QLEmotionColor::ql_blue(*mixed), 0xb6 / 255.0);
}

TEST(QLEmotionColorTest, LighterAndDarkerShades) {
  auto mid = Color::white(0.5, 0.8);
  auto lighter = QLEmotionColor::ql_lighterColor(mid);
  EXPECT_TRUE(lighter.isGrey());
  EXPECT_DOUBLE_EQ(lighter.whiteLevel(), 0.65);
  EXPECT_DOUBLE_EQ(lighter.alpha(), 0.8);
  auto darker = QLEmotionColor::ql_darkerColor(mid);
  EXPECT_DOUBLE_EQ(darker.whiteLevel(), 0.375);

  EXPECT_DOUBLE_EQ(QLEmotionColor::ql_lighterColor(Color::white(0.9)).whiteLevel(), 1.0) << "capped";
  EXPECT_EQ(QLEmotionColor::ql_lighterColor(Color::whiteColor()), Color::white(0.99));
  EXPECT_EQ(QLEmotionColor::ql_darkerColor(Color::whiteColor()), Color::white(0.99));
  EXPECT_EQ(QLEmotionColor::ql_lighterColor(Color::black()), Color::white(0.01));
  EXPECT_EQ(QLEmotionColor::ql_darkerColor(Color::black()), Color::white(0.01));

  // An RGB colour keeps hue, saturation and alpha; only its brightness moves.
  auto teal = Color::rgb(0.2, 0.6, 0.4, 0.5);
  auto dark = QLEmotionColor::ql_darkerColor(teal);
  EXPECT_FALSE(dark.isGrey());
  EXPECT_NEAR(dark.red(), 0.15, 1e-12);
  EXPECT_NEAR(dark.green(), 0.45, 1e-12);
  EXPECT_NEAR(dark.blue(), 0.30, 1e-12);
  EXPECT_DOUBLE_EQ(dark.alpha(), 0.5);
  auto light = QLEmotionColor::ql_lighterColor(Color::rgb(0.2, 0.6, 0.4));
  EXPECT_NEAR(light.green(), 0.78, 1e-12);
  EXPECT_NEAR(light.red(), 0.26, 1e-12);
  auto bright = QLEmotionColor::ql_lighterColor(Color::rgb(1, 0.5, 0));
  EXPECT_NEAR(bright.red(), 1, 1e-12);
  EXPECT_NEAR(bright.green(), 0.5, 1e-12);
}

TEST(QLEmotionColorTest, ComponentsOfGreysAndClear) {
  auto grey = Color::white(0.3, 0.7);
  EXPECT_DOUBLE_EQ(QLEmotionColor::ql_red(grey), 0.3);
  EXPECT_DOUBLE_EQ(QLEmotionColor::ql_blue(grey), 0.3);
  EXPECT_DOUBLE_EQ(QLEmotionColor::ql_alpha(grey), 0.7);
  EXPECT_FALSE(QLEmotionColor::ql_isLighterColor(grey));
  EXPECT_TRUE(QLEmotionColor::ql_isLighterColor(Color::white(0.5)));
  EXPECT_TRUE(QLEmotionColor::ql_isLighterColor(Color::rgb(1, 0.5, 0)));
  EXPECT_FALSE(QLEmotionColor::ql_isLighterColor(Color::rgb(0.6, 0.3, 0.5)));
  EXPECT_TRUE(QLEmotionColor::ql_isClearColor(Color::clear()));
  EXPECT_FALSE(QLEmotionColor::ql_isClearColor(Color::black()));
}

}  // namespace
}  // namespace vexa
