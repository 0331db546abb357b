#include <gtest/gtest.h>

#include "ImageTestSupport.h"
#include "support/HostileFiles.h"
#include "vexa/platform/Screen.h"
#include "vexa/store/image/QLGifDecoder.h"
#include "vexa/store/image/QLGifSource.h"
#include "vexa/store/image/QLImageError.h"

namespace vexa {
namespace {

using test::argb;
using test::fixture;
using test::kBlue;
using test::kClear;
using test::kGreen;
using test::kRed;

std::shared_ptr<const QLGifSource> sourceOf(const Bytes& data) {
  auto source = QLGifSource::create(data);
  EXPECT_TRUE(source.ok()) << (source.ok() ? "" : source.error().toString());
  return source.ok() ? *source : nullptr;
}

Error errorOf(const Bytes& data, const QLImageLimits& limits = {}) {
  auto image = QLGifDecoder::decode(data, limits);
  EXPECT_FALSE(image.ok());
  return image.ok() ? Error("", 0, "") : image.error();
}

// --- Files written by another encoder ---------------------------------------

TEST(GifDecodingTest, RestoreToBackgroundClearsTheFrameArea) {
  auto gif = sourceOf(fixture("disposal_background.gif"));
  ASSERT_TRUE(gif);
  ASSERT_EQ(gif->count(), 3u);
  const Bitmap& f0 = *gif->imageAtIndex(0);
  const Bitmap& f1 = *gif->imageAtIndex(1);
  const Bitmap& f2 = *gif->imageAtIndex(2);
  EXPECT_EQ(f0.width(), 8);
  EXPECT_EQ(f0.pixel(7, 7), kRed);
  EXPECT_EQ(f1.pixel(3, 3), kGreen);
  EXPECT_EQ(f1.pixel(0, 0), kRed);
  // Frame 1 covered the canvas and was cleared; frame 2 only drew 6 x 6.
  EXPECT_EQ(f2.pixel(0, 0), kBlue);
  EXPECT_EQ(f2.pixel(1, 0), kRed);
  EXPECT_EQ(f2.pixel(3, 3), kClear);
  EXPECT_EQ(f2.pixel(7, 7), kClear);
}

TEST(GifDecodingTest, RestoreToPreviousBringsBackTheEarlierCanvas) {
  auto gif = sourceOf(fixture("disposal_previous.gif"));
  ASSERT_TRUE(gif);
  ASSERT_EQ(gif->count(), 3u);
  EXPECT_EQ(gif->imageAtIndex(1)->pixel(3, 3), kGreen);
  const Bitmap& f2 = *gif->imageAtIndex(2);
  EXPECT_EQ(f2.pixel(0, 0), kBlue);
  EXPECT_EQ(f2.pixel(3, 3), kRed) << "the green block must be gone";
  EXPECT_EQ(f2.pixel(7, 7), kRed);
}

TEST(GifDecodingTest, DelaysFollowTheFallbackRules) {
  // 0.05 s, 0 (written for 0.005 s) and no control extension at all.
  auto data = fixture("delays.gif");
  auto gif = sourceOf(data);
  ASSERT_TRUE(gif);
  ASSERT_EQ(gif->count(), 3u);
  EXPECT_DOUBLE_EQ(QLGifDecoder::ql_sd_frameDurationAtIndex(0, *gif), 0.05);
  EXPECT_DOUBLE_EQ(QLGifDecoder::ql_sd_frameDurationAtIndex(1, *gif), 0.1);
  EXPECT_DOUBLE_EQ(QLGifDecoder::ql_sd_frameDurationAtIndex(2, *gif), 0.1);
  EXPECT_FALSE(gif->propertiesAtIndex(2).unclampedDelayTime.has_value());

  auto image = QLGifDecoder::ql_sd_animatedGIFWithData(data);
  ASSERT_TRUE(image);
  EXPECT_TRUE(image->isAnimated());
  EXPECT_EQ(image->frameCount(), 3u);
  EXPECT_NEAR(image->duration(), 0.25, 1e-9);
  EXPECT_EQ(image->frameAtIndex(2)->pixel(0, 0), kBlue);
}

TEST(GifDecodingTest, AllZeroDelaysGiveATenthOfASecondEach) {
  auto image = QLGifDecoder::ql_sd_animatedGIFWithData(fixture("zero_delays.gif"));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->frameCount(), 3u);
  EXPECT_NEAR(image->duration(), 0.3, 1e-9);
}

TEST(GifDecodingTest, OneFrameGivesAStillImageAtTheScreenScale) {
  Screen saved = Screen::main();
  Screen::setMain(Screen::phone414x736());
  auto image = QLGifDecoder::ql_sd_animatedGIFWithData(fixture("single.gif"));
  Screen::setMain(saved);
  ASSERT_TRUE(image);
  EXPECT_FALSE(image->isAnimated());
  EXPECT_EQ(image->duration(), 0);
  EXPECT_EQ(image->scale(), 3);
  EXPECT_EQ(image->pixelWidth(), 5);
  EXPECT_EQ(image->pixelHeight(), 3);
  EXPECT_NEAR(image->size().width, 5.0 / 3, 1e-9);
  EXPECT_TRUE(image->hasAlphaChannel());
  EXPECT_EQ(image->bitmap().pixel(1, 1), kClear);
  EXPECT_EQ(image->bitmap().pixel(0, 0), argb(255, 255, 0));
}

TEST(GifDecodingTest, InterlacedRowsLandInTheirPlace) {
  auto gif = sourceOf(fixture("interlaced.gif"));
  ASSERT_TRUE(gif);
  const Bitmap& f = *gif->imageAtIndex(0);
  const uint32_t colours[4] = {kRed, kGreen, kBlue, argb(255, 255, 0)};
  for (int y = 0; y < 20; ++y) EXPECT_EQ(f.pixel(5, y), colours[y % 4]) << "row " << y;
}

// --- Hand-made and hostile files --------------------------------------------

test::GifFrame frame(int left, int top, int w, int h, uint8_t index) {
  test::GifFrame f;
  f.left = left;
  f.top = top;
  f.width = w;
  f.height = h;
  f.pixels.assign(size_t(w) * h, index);
  f.delayCentiseconds = 10;
  return f;
}

TEST(GifDecodingTest, FramesAreClippedToTheScreen) {
  test::GifRecipe recipe;
  recipe.screenWidth = 4;
  recipe.screenHeight = 4;
  recipe.globalColors = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}};
  recipe.frames = {frame(0, 0, 4, 4, 1), frame(2, 3, 10, 10, 2), frame(60000, 60000, 3, 3, 2)};
  auto gif = sourceOf(test::buildGif(recipe));
  ASSERT_TRUE(gif);
  ASSERT_EQ(gif->count(), 3u);
  const Bitmap& f1 = *gif->imageAtIndex(1);
  EXPECT_EQ(f1.width(), 4);
  EXPECT_EQ(f1.pixel(3, 3), kGreen);
  EXPECT_EQ(f1.pixel(1, 3), kRed);
  EXPECT_EQ(f1.pixel(3, 2), kRed);
  // Entirely off the screen: drawn nowhere, still a frame.
  ASSERT_TRUE(gif->imageAtIndex(2));
  EXPECT_EQ(gif->imageAtIndex(2)->pixel(0, 0), kRed);
}

TEST(GifDecodingTest, EmptyScreenTakesTheFirstFramesExtent) {
  test::GifRecipe recipe;
  recipe.screenWidth = 0;
  recipe.screenHeight = 0;
  recipe.globalColors = {{0, 0, 0}, {255, 0, 0}};
  recipe.frames = {frame(1, 2, 3, 2, 1)};
  auto image = QLGifDecoder::decode(test::buildGif(recipe));
  ASSERT_TRUE(image.ok()) << image.error().toString();
  EXPECT_EQ((*image)->pixelWidth(), 4);
  EXPECT_EQ((*image)->pixelHeight(), 4);
  EXPECT_EQ((*image)->bitmap().pixel(3, 3), kRed);
  EXPECT_EQ((*image)->bitmap().pixel(0, 0), kClear);
}

TEST(GifDecodingTest, ColourIndicesAreCheckedAgainstTheirTable) {
  test::GifRecipe recipe;
  recipe.screenWidth = 3;
  recipe.screenHeight = 1;
  recipe.globalColors = {{255, 0, 0}, {0, 0, 255}};  // two colours
  recipe.backgroundIndex = 200;                       // past the table
  test::GifFrame f = frame(0, 0, 3, 1, 0);
  f.pixels = {0, 1, 250};
  recipe.frames = {f};
  auto image = QLGifDecoder::decode(test::buildGif(recipe));
  ASSERT_TRUE(image.ok()) << image.error().toString();
  EXPECT_EQ((*image)->bitmap().pixel(0, 0), kRed);
  EXPECT_EQ((*image)->bitmap().pixel(1, 0), kBlue);
  EXPECT_EQ((*image)->bitmap().pixel(2, 0), kClear);
}

TEST(GifDecodingTest, FramesWithoutColourMapAreSkipped) {
  test::GifRecipe recipe;
  recipe.screenWidth = 2;
  recipe.screenHeight = 2;
  recipe.frames = {frame(0, 0, 2, 2, 1)};  // no table anywhere
  Error only = errorOf(test::buildGif(recipe));
  EXPECT_EQ(only.code(), int64_t(QLImageErrorCode::NoFrames));

  test::GifFrame coloured = frame(0, 0, 2, 2, 1);
  coloured.localColors = {{0, 0, 0}, {0, 255, 0}};
  coloured.delayCentiseconds = 30;
  recipe.frames = {frame(0, 0, 2, 2, 1), coloured, frame(0, 0, 2, 2, 1)};
  auto image = QLGifDecoder::decode(test::buildGif(recipe));
  ASSERT_TRUE(image.ok()) << image.error().toString();
  // One frame made of three: it adds its delay only.
  EXPECT_EQ((*image)->frameCount(), 1u);
  EXPECT_EQ((*image)->bitmap().pixel(1, 1), kGreen);
}

TEST(GifDecodingTest, TruncatedFilesKeepTheFramesReadSoFar) {
  test::GifRecipe recipe;
  recipe.screenWidth = 8;
  recipe.screenHeight = 8;
  recipe.globalColors = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}};
  recipe.frames = {frame(0, 0, 8, 8, 1), frame(0, 0, 8, 8, 2)};
  Bytes whole = test::buildGif(recipe);
  Bytes cut(whole.begin(), whole.end() - 40);  // inside the second frame's data
  auto gif = sourceOf(cut);
  ASSERT_TRUE(gif);
  EXPECT_TRUE(gif->truncated());
  EXPECT_EQ(gif->count(), 2u);
  EXPECT_TRUE(gif->imageAtIndex(0));
  EXPECT_FALSE(gif->imageAtIndex(1));

  Bytes header(whole.begin(), whole.begin() + 10);
  EXPECT_EQ(errorOf(header).code(), int64_t(QLImageErrorCode::Malformed));
  EXPECT_EQ(errorOf(Bytes{}).code(), int64_t(QLImageErrorCode::EmptyData));
  EXPECT_EQ(errorOf(Bytes{'G', 'I', 'F', '8', '9', 'a', 0xFF}).code(),
            int64_t(QLImageErrorCode::Malformed));
}

TEST(GifDecodingTest, LimitsRefuseBeforeAllocating) {
  QLImageLimits small;
  small.maxSide = 64;
  small.maxPixels = 64 * 64;
  small.maxFrames = 3;
  small.maxDecodedBytes = 3 * 16 * 16 * 4;

  struct Case {
    const char* what;
    int screenW, screenH;
    int frames;
    int frameW, frameH;
  } cases[] = {
      {"screen wider than allowed", 65, 1, 1, 1, 1},
      {"too many frames", 2, 2, 4, 1, 1},
      {"too many composed bytes", 16, 16, 4, 1, 1},
  };
  for (const auto& c : cases) {
    test::GifRecipe recipe;
    recipe.screenWidth = c.screenW;
    recipe.screenHeight = c.screenH;
    recipe.globalColors = {{0, 0, 0}, {255, 0, 0}};
    for (int i = 0; i < c.frames; ++i) {
      test::GifFrame f = frame(0, 0, 1, 1, 1);
      // A declared size needs no pixels behind it to be refused.
      f.width = c.frameW;
      f.height = c.frameH;
      recipe.frames.push_back(f);
    }
    Error e = errorOf(test::buildGif(recipe), small);
    EXPECT_EQ(e.code(), int64_t(QLImageErrorCode::TooLarge)) << c.what << ": " << e.toString();
  }
}

// Frames far larger than the screen are clipped before their pixels are
// decoded, and a huge screen that no row fills is never allocated: a budget
// of 64 KiB of decoded pixels, working buffers included, holds both.
TEST(GifDecodingTest, HostileSizesStayWithinTheDecodedPixelBudget) {
  QLImageLimits tight;
  tight.maxDecodedBytes = 64 << 10;
  const std::string huge = test::hostile::gifHugeFramesOnATinyScreen(3, 8192);
  auto image = QLGifDecoder::decode(Bytes(huge.begin(), huge.end()), tight);
  ASSERT_TRUE(image.ok()) << image.error().toString();
  EXPECT_EQ((*image)->frameCount(), 3u);
  EXPECT_EQ((*image)->pixelWidth(), 1);
  EXPECT_EQ((*image)->bitmap().pixel(0, 0), kRed);  // colour 0 of the table

  const std::string tiny = test::hostile::gifTinyClaimingHuge();
  EXPECT_EQ(errorOf(Bytes(tiny.begin(), tiny.end()), tight).code(),
            int64_t(QLImageErrorCode::NoFrames));

  // Restore-to-previous keeps a second canvas: it counts too.
  test::GifRecipe recipe;
  recipe.screenWidth = recipe.screenHeight = 16;
  recipe.globalColors = {{0, 0, 0}, {255, 0, 0}};
  recipe.frames = {frame(0, 0, 1, 1, 1), frame(0, 0, 1, 1, 1)};
  QLImageLimits two;
  two.maxDecodedBytes = 2 * 16 * 16 * 4 + 16;  // the canvas and one copy
  EXPECT_TRUE(QLGifDecoder::decode(test::buildGif(recipe), two).ok());
  recipe.frames[0].disposal = 3;
  EXPECT_EQ(errorOf(test::buildGif(recipe), two).code(), int64_t(QLImageErrorCode::TooLarge));
}

TEST(GifDecodingTest, MultiplyRedrawIsAnExactFreshCopy) {
  auto image = QLGifDecoder::ql_sd_animatedGIFWithData(fixture("delays.gif"));
  ASSERT_TRUE(image);
  auto copy = QLGifDecoder::multiplyImageFromImage(*image);
  ASSERT_EQ(copy->frameCount(), image->frameCount());
  EXPECT_EQ(copy->duration(), image->duration());
  for (size_t i = 0; i < copy->frameCount(); ++i) {
    EXPECT_NE(copy->frameAtIndex(i), image->frameAtIndex(i));
    EXPECT_EQ(copy->frameAtIndex(i)->pixel(2, 2), image->frameAtIndex(i)->pixel(2, 2));
  }
}

}  // namespace
}  // namespace vexa
