// Animations past the animation budget compose frames on demand: every
// frame must have the pixels of a full decode, in any order of access, from
// any thread, while the memory held stays within the window.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "ImageTestSupport.h"
#include "vexa/store/image/QLGifDecoder.h"
#include "vexa/store/image/QLGifFrameWindow.h"
#include "vexa/store/image/QLGifSource.h"
#include "vexa/store/image/QLImageDecoder.h"

namespace vexa {
namespace {

test::GifFrame patch(int left, int top, int w, int h, int disposal, int seed) {
  test::GifFrame f;
  f.left = left;
  f.top = top;
  f.width = w;
  f.height = h;
  f.disposal = disposal;
  f.transparentIndex = 0;
  f.delayCentiseconds = 2 + seed % 5;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) f.pixels.push_back(uint8_t((x * 3 + y + seed) % 5));
  }
  return f;
}

// Every disposal mode, transparent pixels, a frame cut by the screen's
// edge, one wholly off it, and one without a picture between the others.
// `screen` 0 declares none (the first frame's extent is the canvas).
Bytes mixedAnimation(int size, int screen = -1, int firstDisposal = 1) {
  test::GifRecipe recipe;
  recipe.screenWidth = recipe.screenHeight = screen < 0 ? size : screen;
  recipe.globalColors = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
  const int h = size / 2;
  recipe.frames = {patch(0, 0, size, size, firstDisposal, 0), patch(2, 2, h, h, 2, 1),
                   patch(h / 2, h / 2, h, h, 3, 2),   patch(h, h, size, size, 3, 3),
                   patch(60000, 60000, 3, 3, 2, 4),   patch(1, 1, h, 3, 0, 5),
                   patch(3, h, h, h, 3, 6),           patch(0, 0, size, size / 3, 1, 7)};
  test::GifFrame empty = patch(0, 0, 1, 1, 2, 8);
  empty.width = 0;
  empty.pixels.clear();
  recipe.frames.insert(recipe.frames.begin() + 4, empty);
  for (int i = 0; i < 6; ++i) recipe.frames.push_back(patch(i, 2 * i, h, h, 1 + i % 3, 9 + i));
  return test::buildGif(recipe);
}

bool samePixels(const Bitmap& a, const Bitmap& b) {
  return a.width() == b.width() && a.height() == b.height() &&
         std::memcmp(a.pixels(), b.pixels(), a.byteSize()) == 0;
}

std::shared_ptr<const Image> decode(const Bytes& data, uint64_t animationBytes) {
  QLImageLimits limits;
  limits.maxAnimationBytes = animationBytes;
  auto image = QLGifDecoder::decode(data, limits);
  EXPECT_TRUE(image.ok()) << (image.ok() ? "" : image.error().toString());
  return image.ok() ? *image : nullptr;
}

TEST(GifFrameWindowTest, FramesComposedOnDemandMatchAFullDecodeInAnyOrder) {
  const Bytes data = mixedAnimation(16);
  const uint64_t frameBytes = 16 * 16 * 4;
  auto full = decode(data, UINT64_MAX);
  auto windowed = decode(data, 6 * frameBytes);
  ASSERT_TRUE(full && windowed);
  const size_t n = full->frameCount();
  ASSERT_EQ(n, 14u);  // the frame without a picture is left out
  ASSERT_EQ(windowed->frameCount(), n);
  EXPECT_EQ(windowed->duration(), full->duration());
  EXPECT_EQ(full->cost(), n * frameBytes);
  EXPECT_LT(windowed->cost(), full->cost());
  auto* window = dynamic_cast<const QLGifFrameWindow*>(windowed->animationFrames().get());
  ASSERT_TRUE(window);
  EXPECT_EQ(window->windowFrames(), 2u);
  // A redraw copy keeps composing instead of holding every frame.
  EXPECT_EQ(QLGifDecoder::multiplyImageFromImage(*windowed)->animationFrames(),
            windowed->animationFrames());

  // A frame handed out stays intact while the window moves on.
  auto held = windowed->frameAtIndex(3);
  std::vector<size_t> order;
  for (size_t i = 0; i < n; ++i) order.push_back(i);  // in order,
  for (size_t i = 0; i < n; ++i) order.push_back(i);  // looping,
  for (size_t i : {12, 2, 9, 9, 1, 13, 4, 0, 7, 3, 11, 5}) order.push_back(i);  // and jumping
  for (size_t i : order) {
    auto frame = windowed->frameAtIndex(i);
    ASSERT_TRUE(frame) << "frame " << i;
    EXPECT_TRUE(samePixels(*frame, *full->frameAtIndex(i))) << "frame " << i;
    EXPECT_LE(window->bytesHeld(), window->byteSize());
  }
  EXPECT_EQ(windowed->frameAtIndex(0), windowed->firstFrame());
  EXPECT_FALSE(windowed->frameAtIndex(n));
  EXPECT_TRUE(samePixels(*held, *full->frameAtIndex(3)));

  // The source answers by file index, the frame without a picture included.
  QLImageLimits limits;
  limits.maxAnimationBytes = 6 * frameBytes;
  auto source = QLGifSource::create(data, limits);
  ASSERT_TRUE(source.ok());
  ASSERT_EQ((*source)->count(), n + 1);
  EXPECT_FALSE((*source)->imageAtIndex(4));
  EXPECT_TRUE(samePixels(*(*source)->imageAtIndex(6), *full->frameAtIndex(5)));
}

// The budget found passed only while reading (no screen declared), and a
// first frame that restores to previous, which cannot be continued from.
TEST(GifFrameWindowTest, WindowFoundWhileReadingOrStartingFromTheFileMatchesAFullDecode) {
  for (auto [screen, firstDisposal] : {std::pair{0, 1}, std::pair{16, 3}}) {
    const Bytes data = mixedAnimation(16, screen, firstDisposal);
    auto full = decode(data, UINT64_MAX);
    auto windowed = decode(data, 6 * 16 * 16 * 4);
    ASSERT_TRUE(full && windowed);
    ASSERT_TRUE(dynamic_cast<const QLGifFrameWindow*>(windowed->animationFrames().get()));
    ASSERT_EQ(windowed->frameCount(), full->frameCount());
    for (size_t i : {0, 1, 2, 7, 13, 5, 1}) {
      EXPECT_TRUE(samePixels(*windowed->frameAtIndex(i), *full->frameAtIndex(i)))
          << "screen " << screen << ", frame " << i;
    }
  }
}

TEST(GifFrameWindowTest, MemoryStaysWithinTheBudgetAndTheHostSetsIt) {
  const Bytes data = mixedAnimation(64);
  const uint64_t frameBytes = 64 * 64 * 4, budget = 6 * frameBytes;
  const uint64_t saved = QLImageLimits::defaultMaxAnimationBytes();
  QLImageLimits::setDefaultMaxAnimationBytes(budget);
  auto image = QLImageDecoder::decode(data);
  QLImageLimits::setDefaultMaxAnimationBytes(saved);
  ASSERT_TRUE(image.ok());
  const Image& windowed = **image;
  const AnimationFrames& frames = *windowed.animationFrames();
  EXPECT_LE(windowed.cost(), budget + data.size() + frames.count() * sizeof(QLGifFrameWindow::Made));
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < frames.count(); ++i) {
      ASSERT_TRUE(windowed.frameAtIndex(i));
      EXPECT_LE(frames.bytesHeld(), windowed.cost());
    }
  }

  // Under the budget every frame is kept, as decoded.
  auto whole = decode(data, frames.count() * frameBytes);
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->cost(), frames.count() * frameBytes);
  EXPECT_EQ(whole->frameAtIndex(5), whole->frameAtIndex(5));
}

TEST(GifFrameWindowTest, ThreadsPlayingOneImageSeeTheSamePixels) {
  const Bytes data = mixedAnimation(32);
  auto full = decode(data, UINT64_MAX);
  auto windowed = decode(data, 4 * 32 * 32 * 4);
  ASSERT_TRUE(full && windowed);
  std::atomic<int> mismatches{0};
  auto play = [&](size_t stride) {
    for (size_t k = 0; k < 3 * full->frameCount(); ++k) {
      const size_t i = (k * stride) % full->frameCount();
      auto frame = windowed->frameAtIndex(i);
      if (!frame || !samePixels(*frame, *full->frameAtIndex(i))) ++mismatches;
    }
  };
  std::thread other(play, 5);
  play(1);
  other.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace vexa
