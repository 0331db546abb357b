#include "vexa/store/image/QLImageDecoder.h"

#include <cstring>

#include "vexa/platform/Screen.h"
#include "vexa/store/image/QLExifOrientation.h"
#include "vexa/store/image/QLGifDecoder.h"
#include "vexa/store/image/QLImageError.h"
#include "vexa/store/image/QLJpegDecoder.h"
#include "vexa/store/image/QLPngDecoder.h"
#include "vexa/store/image/QLWebpDecoder.h"

namespace vexa {
namespace {

ImageOrientation orientationOf(std::span<const uint8_t> exifOrJpeg, const QLImageLimits& limits) {
  if (exifOrJpeg.empty()) return ImageOrientation::Up;
  auto tag = QLExifOrientation::orientationTag(exifOrJpeg, limits);
  return QLExifOrientation::ql_sd_exifOrientationToiOSOrientation(tag.value_or(1));
}

ImageAlphaInfo alphaKind(bool hasAlpha) {
  return hasAlpha ? ImageAlphaInfo::PremultipliedFirst : ImageAlphaInfo::NoneSkipFirst;
}

}  // namespace

std::shared_ptr<const Image> QLImageDecoder::ql_sd_imageWithData(std::span<const uint8_t> data) {
  auto image = decode(data);
  return image.ok() ? *image : nullptr;
}

Result<std::shared_ptr<const Image>> QLImageDecoder::decode(std::span<const uint8_t> data,
                                                            const QLImageLimits& limits) {
  if (data.empty()) return qlImageError(QLImageErrorCode::EmptyData, "no image data");
  const std::optional<std::string> type = ql_sd_contentTypeForImageData(data);
  if (type == "image/gif") return QLGifDecoder::decode(data, limits);

  const double scale = Screen::main().scale;
  if (type == "image/png") {
    auto png = QLPngDecoder::decode(data, limits);
    if (!png.ok()) return png.error();
    return Image::still(std::move(png->bitmap), scale, orientationOf(png->exif, limits),
                        alphaKind(png->hasAlpha));
  }
  if (type == "image/jpeg") {
    auto jpeg = QLJpegDecoder::decode(data, limits);
    if (!jpeg.ok()) return jpeg.error();
    return Image::still(std::move(*jpeg), scale, orientationOf(data, limits),
                        ImageAlphaInfo::NoneSkipFirst);
  }
  if (type == "image/webp") {
    auto webp = QLWebpDecoder::decode(data, limits);
    if (!webp.ok()) return webp.error();
    return Image::still(std::move(webp->bitmap), scale,
                        orientationOf(QLWebpDecoder::exifPayload(data, limits), limits),
                        alphaKind(webp->hasAlpha));
  }
  return qlImageError(QLImageErrorCode::UnknownFormat,
                      type ? "no decoder for " + *type : std::string("unknown image format"));
}

std::optional<std::string> QLImageDecoder::ql_sd_contentTypeForImageData(
    std::span<const uint8_t> data) {
  if (data.empty()) return std::nullopt;
  switch (data[0]) {
    case 0xFF: return "image/jpeg";
    case 0x89: return "image/png";
    case 0x47: return "image/gif";
    case 0x49:
    case 0x4D: return "image/tiff";
    case 0x52:
      if (data.size() >= 12 && std::memcmp(data.data(), "RIFF", 4) == 0 &&
          std::memcmp(data.data() + 8, "WEBP", 4) == 0) {
        return "image/webp";
      }
      return std::nullopt;
    default: return std::nullopt;
  }
}

ImageOrientation QLImageDecoder::ql_sd_imageOrientationFromImageData(
    std::span<const uint8_t> data) {
  const std::optional<std::string> type = ql_sd_contentTypeForImageData(data);
  const QLImageLimits limits;
  if (type == "image/jpeg") return orientationOf(data, limits);
  if (type == "image/png") return orientationOf(QLPngDecoder::exifPayload(data, limits), limits);
  if (type == "image/webp") return orientationOf(QLWebpDecoder::exifPayload(data, limits), limits);
  return ImageOrientation::Up;
}

}  // namespace vexa
