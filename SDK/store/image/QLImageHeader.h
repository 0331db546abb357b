// What an image file's header declares, read without decoding a pixel: its
// content type and its size. The package store decides with it whether an
// image it holds is usable, so that checking a package costs a few bytes
// of each file rather than their decoded pixels.
//
// PNG: the IHDR chunk. GIF: the logical screen (the first image's extent
// when the screen is declared empty). JPEG: the first frame header (SOFn)
// after the segments before it. WebP: libwebp's reading of the header.
// A size past QLImageLimits, or a header that is damaged or cut off, is an
// error, as is any other format.
//
// Stateless; safe to call from any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "vexa/platform/Result.h"
#include "vexa/store/image/QLImageLimits.h"

namespace vexa {

struct QLImageHeader {
  std::string contentType;  // "image/png", "image/gif", "image/jpeg", "image/webp"
  int64_t width = 0;
  int64_t height = 0;

  // Bytes of a file's start that hold every header read() understands but
  // JPEG segments longer than usual.
  static constexpr size_t kEnoughBytes = size_t(256) << 10;

  static Result<QLImageHeader> read(std::span<const uint8_t> data, const QLImageLimits& limits = {});
};

}  // namespace vexa
