// JPEG decoding with libjpeg(-turbo) into opaque ARGB32 bitmaps.
//
// Grey, YCbCr, RGB and (Adobe) CMYK files are accepted, baseline and
// progressive. The size is checked against QLImageLimits right after the
// header; a progressive file with more than maxJpegScans scans is refused
// while it is read (each scan costs a pass over the whole image), and
// libjpeg's own buffers are capped at maxDecoderMemory. A file that ends
// before its image data does is refused rather than shown half grey.
//
// Stateless; safe to call from any thread.
#pragma once

#include <memory>
#include <span>

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/store/image/QLImageLimits.h"

namespace vexa {

class QLJpegDecoder {
 public:
  static Result<std::shared_ptr<Bitmap>> decode(std::span<const uint8_t> data,
                                                const QLImageLimits& limits = {});
};

}  // namespace vexa
