// WebP decoding with libwebp into premultiplied ARGB32 bitmaps. Still images
// only; an animated WebP is refused. The size is checked against
// QLImageLimits before pixel memory is allocated.
//
// Stateless; safe to call from any thread.
#pragma once

#include <memory>
#include <span>

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"
#include "vexa/store/image/QLImageLimits.h"

namespace vexa {

class QLWebpDecoder {
 public:
  struct Decoded {
    std::shared_ptr<Bitmap> bitmap;
    bool hasAlpha = false;
  };
  static Result<Decoded> decode(std::span<const uint8_t> data, const QLImageLimits& limits = {});
  // The payload of the EXIF chunk; empty when there is none.
  static Bytes exifPayload(std::span<const uint8_t> data, const QLImageLimits& limits = {});
};

}  // namespace vexa
