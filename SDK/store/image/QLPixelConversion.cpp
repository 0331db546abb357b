#include "vexa/store/image/QLPixelConversion.h"

#include <cstring>

namespace vexa {

void QLPixelConversion::rgbaToPremultipliedARGBInPlace(uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    uint8_t* p = bytes + 4 * i;
    uint32_t argb = premultipliedARGB(p[0], p[1], p[2], p[3]);
    std::memcpy(p, &argb, 4);
  }
}

void QLPixelConversion::premultipliedARGBToRGBA(const uint32_t* in, size_t count, uint8_t* out) {
  for (size_t i = 0; i < count; ++i) {
    uint32_t p = in[i];
    uint32_t a = p >> 24;
    uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (a != 0 && a != 255) {
      r = (r * 255 + a / 2) / a;
      g = (g * 255 + a / 2) / a;
      b = (b * 255 + a / 2) / a;
      // Malformed premultiplied values may exceed the alpha.
      if (r > 255) r = 255;
      if (g > 255) g = 255;
      if (b > 255) b = 255;
    } else if (a == 0) {
      r = g = b = 0;
    }
    out[4 * i] = uint8_t(r);
    out[4 * i + 1] = uint8_t(g);
    out[4 * i + 2] = uint8_t(b);
    out[4 * i + 3] = uint8_t(a);
  }
}

void QLPixelConversion::premultipliedARGBToRGB(const uint32_t* in, size_t count, uint8_t* out) {
  // Premultiplied colour is the colour composed over black, which is what an
  // opaque encoding of a partly transparent image should show.
  for (size_t i = 0; i < count; ++i) {
    uint32_t p = in[i];
    out[3 * i] = uint8_t(p >> 16);
    out[3 * i + 1] = uint8_t(p >> 8);
    out[3 * i + 2] = uint8_t(p);
  }
}

}  // namespace vexa
