#include <gtest/gtest.h>

#include "ImageTestSupport.h"
#include "vexa/store/image/QLContentModeAdjuster.h"
#include "vexa/store/image/QLGifDecoder.h"
#include "vexa/store/image/QLImageDecoder.h"
#include "vexa/store/image/QLImageForceDecoder.h"
#include "vexa/store/image/QLJpegEncoder.h"
#include "vexa/store/image/QLOrientationTransform.h"
#include "vexa/store/image/QLPngEncoder.h"

namespace vexa {
namespace {

using test::argb;

TEST(ImageTransformsTest, DecodingBitmapInfoAdjustsOnlyTheAlphaPart) {
  constexpr uint32_t kByteOrder32Little = 2u << 12;
  struct Case {
    uint32_t info;
    size_t components;
    uint32_t expected;
  } cases[] = {
      {0, 3, 6},  {0, 2, 6},  {0, 1, 0},  {0, 4, 6},
      {1, 3, 2},  {3, 3, 2},  {4, 3, 2},  {7, 3, 2},  {2, 3, 2},
      {5, 3, 5},  {6, 3, 6},  {1, 4, 1},  {3, 1, 3},
      {kByteOrder32Little | 1, 3, kByteOrder32Little | 2},
      {kByteOrder32Little | 0, 3, kByteOrder32Little | 6},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QLImageForceDecoder::decodingBitmapInfo(c.info, c.components), c.expected)
        << c.info << " with " << c.components << " components";
  }
}

TEST(ImageTransformsTest, ForceDecodingKeepsPixelsScaleAndOrientation) {
  auto bitmap = std::make_shared<Bitmap>(2, 1);
  bitmap->setPixel(0, 0, argb(10, 20, 30));
  bitmap->setPixel(1, 0, argb(5, 5, 5, 128));
  auto image = Image::still(bitmap, 3, ImageOrientation::Left, ImageAlphaInfo::Last);
  auto decoded = QLImageForceDecoder::ql_decodedImageWithImage(image);
  ASSERT_TRUE(decoded);
  EXPECT_NE(&decoded->bitmap(), &image->bitmap());
  EXPECT_EQ(decoded->scale(), 3);
  EXPECT_EQ(decoded->orientation(), ImageOrientation::Left);
  EXPECT_EQ(decoded->alphaInfo(), ImageAlphaInfo::PremultipliedFirst);
  EXPECT_EQ(decoded->bitmap().pixel(1, 0), argb(5, 5, 5, 128));

  auto opaque = Image::still(bitmap, 1, ImageOrientation::Up, ImageAlphaInfo::None);
  auto skipFirst = QLImageForceDecoder::ql_decodedImageWithImage(opaque);
  EXPECT_EQ(skipFirst->alphaInfo(), ImageAlphaInfo::NoneSkipFirst);
  EXPECT_EQ(skipFirst->bitmap().pixel(1, 0) >> 24, 0xFFu) << "a skipped alpha byte reads opaque";

  auto animated = QLGifDecoder::ql_sd_animatedGIFWithData(test::fixture("delays.gif"));
  EXPECT_EQ(QLImageForceDecoder::ql_decodedImageWithImage(animated), animated);
  EXPECT_EQ(QLImageForceDecoder::ql_decodedImageWithImage(nullptr), nullptr);
}

TEST(ImageTransformsTest, ContentModeComparesTheShorterSides) {
  struct Case {
    Size image, view;
    QLImageContentMode expected;
  } cases[] = {
      {{40, 40}, {80, 80}, QLImageContentMode::Center},
      {{200, 120}, {80, 80}, QLImageContentMode::ScaleAspectFit},
      {{80, 80}, {80, 80}, QLImageContentMode::Center},
      {{500, 70}, {80, 80}, QLImageContentMode::Center},  // the short side fits
      {{90, 90}, {300, 85}, QLImageContentMode::ScaleAspectFit},
      {{1, 1}, {0, 0}, QLImageContentMode::ScaleAspectFit},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QLContentModeAdjuster::contentModeForSizes(c.image, c.view), c.expected)
        << c.image << " in " << c.view;
  }
  EXPECT_EQ(QLContentModeAdjuster::adjustContentModeAutomatically(nullptr, {80, 80}), std::nullopt);
  // Points, not pixels: 200 x 120 pixels at scale 2 are 100 x 60 points.
  auto image = test::solidImage(200, 120, test::kRed, ImageAlphaInfo::None, 2);
  EXPECT_EQ(QLContentModeAdjuster::adjustContentModeAutomatically(image.get(), {80, 80}),
            QLImageContentMode::Center);
}

TEST(ImageTransformsTest, UprightBitmapForEveryOrientation) {
  // 3 x 2 source:  a b c
  //                d e f
  Bitmap src(3, 2);
  for (int i = 0; i < 6; ++i) src.setPixel(i % 3, i / 3, uint32_t('a' + i));
  struct Case {
    ImageOrientation orientation;
    int width, height;
    const char* rows;
  } cases[] = {
      {ImageOrientation::Up, 3, 2, "abcdef"},
      {ImageOrientation::UpMirrored, 3, 2, "cbafed"},
      {ImageOrientation::Down, 3, 2, "fedcba"},
      {ImageOrientation::DownMirrored, 3, 2, "defabc"},
      {ImageOrientation::Right, 2, 3, "daebfc"},
      {ImageOrientation::Left, 2, 3, "cfbead"},
      {ImageOrientation::LeftMirrored, 2, 3, "adbecf"},
      {ImageOrientation::RightMirrored, 2, 3, "fcebda"},
  };
  for (const auto& c : cases) {
    auto out = QLOrientationTransform::uprightBitmap(src, c.orientation);
    ASSERT_EQ(out->width(), c.width);
    ASSERT_EQ(out->height(), c.height);
    std::string rows;
    for (int y = 0; y < out->height(); ++y) {
      for (int x = 0; x < out->width(); ++x) rows += char(out->pixel(x, y));
    }
    EXPECT_EQ(rows, c.rows) << int(c.orientation);
  }
}

TEST(ImageTransformsTest, EncodersRoundTripThroughTheDecoders) {
  // Top half red, bottom half translucent blue (halves wide enough for
  // JPEG's subsampled colour).
  auto bitmap = std::make_shared<Bitmap>(16, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      bitmap->setPixel(x, y, y < 4 ? argb(255, 0, 0) : argb(0, 0, 128, 128));
    }
  }
  auto translucent = Image::still(bitmap);
  auto png = QLPngEncoder::encode(*translucent);
  ASSERT_TRUE(png.ok());
  auto back = QLImageDecoder::decode(*png);
  ASSERT_TRUE(back.ok());
  EXPECT_EQ((*back)->bitmap().pixel(0, 0), argb(255, 0, 0));
  EXPECT_EQ((*back)->bitmap().pixel(15, 7), argb(0, 0, 128, 128));
  EXPECT_TRUE((*back)->hasAlphaChannel());

  // An opaque image turned right is written upright: 8 x 16 pixels.
  auto turned = Image::still(bitmap, 1, ImageOrientation::Right, ImageAlphaInfo::NoneSkipFirst);
  for (auto encoded : {QLPngEncoder::encode(*turned), QLJpegEncoder::encode(*turned, 1.0)}) {
    ASSERT_TRUE(encoded.ok());
    auto decoded = QLImageDecoder::decode(*encoded);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ((*decoded)->pixelWidth(), 8);
    EXPECT_EQ((*decoded)->pixelHeight(), 16);
    EXPECT_EQ((*decoded)->orientation(), ImageOrientation::Up);
    EXPECT_FALSE((*decoded)->hasAlphaChannel());
    // The red top half of the source is now the right half.
    const uint32_t right = (*decoded)->bitmap().pixel(6, 2), left = (*decoded)->bitmap().pixel(1, 2);
    EXPECT_GT((right >> 16) & 0xFF, 240u);
    EXPECT_LT(right & 0xFF, 16u);
    EXPECT_LT((left >> 16) & 0xFF, 16u);
  }
}

}  // namespace
}  // namespace vexa
