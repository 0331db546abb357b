// EXIF orientation: reading the orientation tag with libexif and mapping it
// to an image orientation.
//
// Stateless; safe to call from any thread.
#pragma once

#include <optional>
#include <span>

#include "vexa/platform/Image.h"
#include "vexa/store/image/QLImageLimits.h"

namespace vexa {

class QLExifOrientation {
 public:
  // The orientation tag of the first image (IFD0) of a JPEG file, or of an
  // EXIF block with or without its "Exif\0\0" header. None when there is no
  // tag or the data is unreadable (truncated, looping, of a wrong type).
  static std::optional<int> orientationTag(std::span<const uint8_t> data,
                                           const QLImageLimits& limits = {});
  // 1 up, 2 up-mirrored, 3 down, 4 down-mirrored, 5 left-mirrored, 6 right,
  // 7 right-mirrored, 8 left; anything else up.
  static ImageOrientation ql_sd_exifOrientationToiOSOrientation(int exifOrientation);
};

}  // namespace vexa
