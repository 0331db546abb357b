#include "vexa/store/image/QLGifDecoder.h"

#include "vexa/platform/Screen.h"
#include "vexa/store/image/QLGifFrameWindow.h"
#include "vexa/store/image/QLImageError.h"

namespace vexa {

std::shared_ptr<const Image> QLGifDecoder::ql_sd_animatedGIFWithData(
    std::span<const uint8_t> data) {
  auto image = decode(data);
  return image.ok() ? *image : nullptr;
}

Result<std::shared_ptr<const Image>> QLGifDecoder::decode(std::span<const uint8_t> data,
                                                          const QLImageLimits& limits) {
  if (data.empty()) return qlImageError(QLImageErrorCode::EmptyData, "GIF: no data");
  auto source = QLGifSource::create(data, limits);
  if (!source.ok()) return source.error();
  const QLGifSource& gif = **source;
  const double scale = Screen::main().scale;

  if (gif.count() <= 1) {
    auto still = gif.imageAtIndex(0);
    if (!still) return qlImageError(QLImageErrorCode::NoFrames, "GIF: no decodable frame");
    return Image::still(std::move(still), scale, ImageOrientation::Up,
                        ImageAlphaInfo::PremultipliedFirst);
  }

  double total = 0;
  size_t made = 0;
  for (size_t i = 0; i < gif.count(); ++i) {
    if (!gif.hasImageAtIndex(i)) continue;
    total += ql_sd_frameDurationAtIndex(i, gif);
    ++made;
  }
  if (made == 0) return qlImageError(QLImageErrorCode::NoFrames, "GIF: no decodable frame");
  if (total == 0) total = static_cast<double>(gif.count()) * 0.1;
  if (const auto& window = gif.window()) {
    auto image = Image::animated(window, total, scale, ImageAlphaInfo::PremultipliedFirst);
    if (!image) return qlImageError(QLImageErrorCode::TooLarge, "GIF: out of memory");
    return image;
  }
  std::vector<std::shared_ptr<const Bitmap>> frames;
  frames.reserve(made);
  for (size_t i = 0; i < gif.count(); ++i) {
    // Composed frames are fresh bitmaps owned by the source alone, which is
    // what a redraw would give; they are shared instead of copied.
    if (auto frame = gif.imageAtIndex(i)) frames.push_back(std::move(frame));
  }
  return Image::animated(std::move(frames), total, scale, ImageAlphaInfo::PremultipliedFirst);
}

double QLGifDecoder::ql_sd_frameDurationAtIndex(size_t index, const QLGifSource& source) {
  const QLGifSource::FrameProperties p = source.propertiesAtIndex(index);
  double delay = 0.1;
  if (p.unclampedDelayTime) {
    delay = *p.unclampedDelayTime;
  } else if (p.delayTime) {
    delay = *p.delayTime;
  }
  return delay < 0.011 ? 0.1 : delay;
}

std::shared_ptr<const Image> QLGifDecoder::multiplyImageFromImage(const Image& image) {
  // Frames composed on demand are fresh bitmaps already; the animation
  // keeps composing them.
  if (image.animationFrames() && image.animationFrames()->composesOnDemand()) {
    return image.withRenderingMode(image.renderingMode());
  }
  std::vector<std::shared_ptr<const Bitmap>> frames;
  frames.reserve(image.frameCount());
  for (size_t i = 0; i < image.frameCount(); ++i) {
    auto frame = image.frameAtIndex(i);
    if (!frame) return nullptr;
    frames.push_back(std::make_shared<const Bitmap>(*frame));
  }
  if (frames.size() == 1) {
    return Image::still(std::move(frames.front()), image.scale(), image.orientation(),
                        image.alphaInfo());
  }
  return Image::animated(std::move(frames), image.duration(), image.scale(), image.alphaInfo());
}

}  // namespace vexa
