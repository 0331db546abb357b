#include <gtest/gtest.h>

#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/Renderer.h"

namespace vexa {
namespace {

uint32_t argb(const Color& c) { return c.premultipliedArgb(); }

TEST(LabelTest, MeasuresCjkTextDeterministically) {
  auto label = Label::create();
  label->setFont(Font::systemFont(16));
  label->setText("微笑");
  Size one = label->sizeThatFits(Size{});
  EXPECT_GT(one.width, 20);
  EXPECT_LT(one.width, 40);
  EXPECT_GT(one.height, 15);
  label->setText("微笑微笑");
  Size two = label->sizeThatFits(Size{});
  EXPECT_NEAR(two.width, 2 * one.width, 1.0);
  EXPECT_EQ(two.height, one.height);
  EXPECT_EQ(label->sizeThatFits(Size{}), two);  // same answer every time
}

TEST(LabelTest, WrappedHeightGrowsWithLinesUpToTheLimit) {
  auto label = Label::create();
  label->setFont(Font::systemFont(14));
  label->setText("这是一段很长的介绍文字，用来测试多行标签的高度是否随着宽度变窄而增加。");
  label->setNumberOfLines(0);
  double line = label->heightForWidth(10000);
  double narrow = label->heightForWidth(100);
  EXPECT_GT(narrow, 3 * line);
  label->setNumberOfLines(2);
  EXPECT_NEAR(label->heightForWidth(100), 2 * line, 2);
  label->setNumberOfLines(1);
  Size fit = label->sizeThatFits(Size{100, 0});
  EXPECT_EQ(fit.width, 100);  // cut to the width
  EXPECT_EQ(fit.height, line);
  label->setText("");
  EXPECT_EQ(label->sizeThatFits(Size{}), (Size{0, 0}));
}

TEST(LabelTest, InvalidUtf8FromOutsideIsStillMeasured) {
  auto label = Label::create();
  label->setText("ab\xff\xfe" "cd");
  Size bad = label->sizeThatFits(Size{});
  label->setText("abcd");
  EXPECT_GT(bad.width, label->sizeThatFits(Size{}).width);  // replacement marks, nothing lost
}

TEST(RendererTest, DrawsBackgroundsBordersCornersAlphaAndClipping) {
  auto root = View::create(Rect(0, 0, 40, 40));
  root->setBackgroundColor(Color::whiteColor());
  auto box = View::create(Rect(10, 10, 20, 20));
  box->setBackgroundColor(Color::rgb(1, 0, 0));
  box->setBorderWidth(2);
  box->setBorderColor(Color::rgb(0, 0, 1));
  box->setCornerRadius(6);
  box->setClipsToBounds(true);
  auto spill = View::create(Rect(15, 15, 20, 20));  // clipped by the box
  spill->setBackgroundColor(Color::rgb(0, 1, 0));
  box->addSubview(spill);
  auto faint = View::create(Rect(0, 30, 10, 10));
  faint->setBackgroundColor(Color::black());
  faint->setAlpha(0.5);
  auto hidden = View::create(Rect(30, 0, 10, 10));
  hidden->setBackgroundColor(Color::black());
  hidden->setHidden(true);
  root->addSubview(box);
  root->addSubview(faint);
  root->addSubview(hidden);

  auto bitmap = Renderer(1).renderToBitmap(*root);
  ASSERT_TRUE(bitmap.ok());
  const Bitmap& bm = **bitmap;
  EXPECT_EQ(bm.pixel(2, 2), argb(Color::whiteColor()));
  EXPECT_EQ(bm.pixel(20, 15), argb(Color::rgb(1, 0, 0)));     // inside the box
  EXPECT_EQ(bm.pixel(20, 10), argb(Color::rgb(0, 0, 1)));     // top border
  EXPECT_EQ(bm.pixel(10, 10), argb(Color::whiteColor()));     // cut corner
  EXPECT_EQ(bm.pixel(25, 25), argb(Color::rgb(0, 1, 0)));     // child inside the box
  EXPECT_EQ(bm.pixel(33, 33), argb(Color::whiteColor()));     // child clipped away
  EXPECT_EQ(bm.pixel(35, 5), argb(Color::whiteColor()));      // hidden view
  uint32_t grey = bm.pixel(5, 35);
  EXPECT_NEAR(static_cast<int>(grey & 0xff), 127, 2);        // half black on white
}

TEST(RendererTest, DrawsImagesByContentModeAndTextInLabels) {
  auto root = View::create(Rect(0, 0, 60, 30));
  auto pixels = std::make_shared<Bitmap>(2, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) pixels->setPixel(x, y, 0xff00ff00);
  auto image = ImageView::create(Rect(0, 0, 30, 30));
  image->setImage(Image::still(pixels));
  image->setContentMode(ContentMode::Center);
  auto label = Label::create(Rect(30, 0, 30, 30));
  label->setText("图");
  label->setFont(Font::systemFont(20));
  label->setTextAlignment(TextAlignment::Center);
  root->addSubview(image);
  root->addSubview(label);
  auto bitmap = Renderer(2).renderToBitmap(*root);
  ASSERT_TRUE(bitmap.ok());
  const Bitmap& bm = **bitmap;
  ASSERT_EQ(bm.width(), 120);
  EXPECT_EQ(bm.pixel(30, 30), 0xff00ff00u);  // the 2-point image at the centre
  EXPECT_EQ(bm.pixel(10, 10), 0u);           // nothing outside it
  int inked = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 60; x < 120; ++x) inked += (bm.pixel(x, y) >> 24) > 0x80;
  EXPECT_GT(inked, 40);
  EXPECT_EQ(bm.pixel(61, 1), 0u);  // the glyph stays inside its label
}

TEST(RendererTest, RefusesImpossibleSizesAndUnwritablePaths) {
  auto empty = View::create();
  EXPECT_FALSE(Renderer().renderToBitmap(*empty).ok());
  auto v = View::create(Rect(0, 0, 4, 4));
  Status s = Renderer().renderToPng(*v, "/nonexistent-dir/out.png");
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.error().description().find("/nonexistent-dir/out.png"), std::string::npos);
}

}  // namespace
}  // namespace vexa
