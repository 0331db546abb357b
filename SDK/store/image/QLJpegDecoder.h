// JPEG decoding with libjpeg(-turbo) into opaque ARGB32 bitmaps.
//
// Grey, YCbCr, RGB and (Adobe) CMYK files are accepted, baseline and
// progressive. The size is checked against QLImageLimits right after the
// header, and so is the data: a Huffman-coded file holds at least one bit
// per block, so one too short for the size it declares is refused before
// any pixel memory is taken. Rows are decoded straight into the bitmap, and
// libjpeg's own buffers get what the bitmap leaves of the image's budget
// (maxPixels x 4 bytes), at most maxDecoderMemory. A progressive file with
// more than maxJpegScans scans is refused while it is read (each scan costs
// a pass over the whole image). Data that ends before the last scan line,
// at the end of the bytes or at any marker, or before some component's
// scan, is refused rather than shown half grey.
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
