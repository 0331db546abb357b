// The multi-format entry point of image decoding.
//
// The content type comes from the first byte: 0xFF JPEG, 0x89 PNG, 0x47 GIF,
// 0x49/0x4D TIFF, 0x52 WebP (when the first 12 bytes read "RIFF....WEBP").
// GIF data decodes as an animation (QLGifDecoder); PNG, JPEG and WebP data
// as a still image at the main screen's scale, turned by its EXIF
// orientation. TIFF is recognised but not decoded. Failures are errors,
// never exceptions, and never a partly filled image.
//
// Stateless; safe to call from any thread.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/store/image/QLImageLimits.h"

namespace vexa {

class QLImageDecoder {
 public:
  // nullptr for no data and data that does not decode.
  static std::shared_ptr<const Image> ql_sd_imageWithData(std::span<const uint8_t> data);
  // The same, with the reason of a failure.
  static Result<std::shared_ptr<const Image>> decode(std::span<const uint8_t> data,
                                                     const QLImageLimits& limits = {});
  // "image/jpeg", "image/png", "image/gif", "image/tiff", "image/webp" or none.
  static std::optional<std::string> ql_sd_contentTypeForImageData(std::span<const uint8_t> data);
  // The EXIF orientation of the first frame; up when there is none or it is
  // unreadable.
  static ImageOrientation ql_sd_imageOrientationFromImageData(std::span<const uint8_t> data);
};

}  // namespace vexa
