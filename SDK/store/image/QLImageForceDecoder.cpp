#include "vexa/store/image/QLImageForceDecoder.h"

namespace vexa {

uint32_t QLImageForceDecoder::decodingBitmapInfo(uint32_t bitmapInfo, size_t colorComponents) {
  constexpr uint32_t kAlphaMask = 0x1F;
  const uint32_t alpha = bitmapInfo & kAlphaMask;
  const uint32_t rest = bitmapInfo & ~kAlphaMask;
  if (alpha == uint32_t(ImageAlphaInfo::None) && colorComponents >= 2) {
    return rest | uint32_t(ImageAlphaInfo::NoneSkipFirst);
  }
  if (alpha != uint32_t(ImageAlphaInfo::None) && alpha != uint32_t(ImageAlphaInfo::NoneSkipLast) &&
      alpha != uint32_t(ImageAlphaInfo::NoneSkipFirst) && colorComponents == 3) {
    return rest | uint32_t(ImageAlphaInfo::PremultipliedFirst);
  }
  return bitmapInfo;
}

std::shared_ptr<const Image> QLImageForceDecoder::ql_decodedImageWithImage(
    const std::shared_ptr<const Image>& image) {
  if (!image || image->isAnimated()) return image;
  constexpr size_t kDeviceRgbComponents = 3;
  const auto kind = static_cast<ImageAlphaInfo>(
      decodingBitmapInfo(static_cast<uint32_t>(image->alphaInfo()), kDeviceRgbComponents) & 0x1F);
  auto bitmap = std::make_shared<Bitmap>(image->bitmap());
  const bool opaque = kind == ImageAlphaInfo::None || kind == ImageAlphaInfo::NoneSkipFirst ||
                      kind == ImageAlphaInfo::NoneSkipLast;
  if (opaque) {
    // A skipped alpha byte must read as opaque in premultiplied ARGB32.
    uint32_t* p = bitmap->pixels();
    const size_t n = size_t(bitmap->width()) * size_t(bitmap->height());
    for (size_t i = 0; i < n; ++i) p[i] |= 0xFF000000u;
  }
  return Image::still(std::move(bitmap), image->scale(), image->orientation(), kind);
}

}  // namespace vexa
