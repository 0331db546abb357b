// PNG decoding with libpng into premultiplied ARGB32 bitmaps.
//
// Palette, grey, 16-bit and interlaced images are all expanded to 8-bit
// RGBA. The size is checked against QLImageLimits right after the header,
// before pixel memory is allocated. Reading stops at the last row of the
// last pass: compressed data after it (which libpng would otherwise inflate
// to its end, however long) is never looked at, so an image whose rows are
// complete decodes even when what follows them is damaged or missing. Text, colour-profile and suggested
// palette chunks are skipped unread (the SDK does not use them, and their
// compressed forms are a classic decompression bomb); other ancillary
// chunks are bounded by maxMetadataBytes.
//
// Stateless; safe to call from any thread.
#pragma once

#include <memory>
#include <optional>
#include <span>

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"
#include "vexa/store/image/QLImageLimits.h"

namespace vexa {

class QLPngDecoder {
 public:
  struct Decoded {
    std::shared_ptr<Bitmap> bitmap;
    bool hasAlpha = false;  // an alpha channel or a transparent colour
    Bytes exif;             // the eXIf chunk's payload, empty when none
  };

  static Result<Decoded> decode(std::span<const uint8_t> data, const QLImageLimits& limits = {});
  // The eXIf payload from the chunks before the image data, without decoding
  // pixels; empty when there is none or the file is unreadable.
  static Bytes exifPayload(std::span<const uint8_t> data, const QLImageLimits& limits = {});
};

}  // namespace vexa
