// Conversions between the byte layouts of codecs (straight RGBA, RGB) and
// the premultiplied native-endian ARGB32 pixels of Bitmap.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

class QLPixelConversion {
 public:
  static uint32_t premultipliedARGB(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (a == 255) return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
    if (a == 0) return 0;
    return (uint32_t(a) << 24) | (uint32_t(mul(r, a)) << 16) | (uint32_t(mul(g, a)) << 8) |
           mul(b, a);
  }
  static uint32_t opaqueARGB(uint8_t r, uint8_t g, uint8_t b) {
    return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
  }

  // Rewrites `count` pixels in place: straight RGBA bytes in, premultiplied
  // ARGB32 out (both four bytes a pixel, so the buffer can be shared).
  static void rgbaToPremultipliedARGBInPlace(uint8_t* bytes, size_t count);
  // One row of premultiplied ARGB32 to straight RGBA or RGB bytes.
  static void premultipliedARGBToRGBA(const uint32_t* in, size_t count, uint8_t* out);
  static void premultipliedARGBToRGB(const uint32_t* in, size_t count, uint8_t* out);

 private:
  static uint8_t mul(uint8_t c, uint8_t a) { return uint8_t((c * a + 127) / 255); }
};

}  // namespace vexa
