// Helpers of the image tests: fixture files, and builders for hand-made GIF
// and PNG bytes (hostile headers, frames off the screen, bombs).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/Image.h"
#include "vexa/platform/Value.h"

namespace vexa::test {

// The bytes of tests/store/image/fixtures/<name>; fails the test when missing.
Bytes fixture(const std::string& name);

// Premultiplied ARGB32 of an opaque colour.
constexpr uint32_t argb(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}
constexpr uint32_t kRed = argb(255, 0, 0), kGreen = argb(0, 255, 0), kBlue = argb(0, 0, 255);
constexpr uint32_t kClear = 0;

struct Rgb {
  uint8_t r, g, b;
};

// One frame of a hand-made GIF; pixels are colour indices, row by row.
struct GifFrame {
  int left = 0, top = 0, width = 1, height = 1;
  std::vector<uint8_t> pixels;
  std::vector<Rgb> localColors;        // none: use the global table
  std::optional<int> delayCentiseconds; // none: no graphic control extension
  int disposal = 0;
  int transparentIndex = -1;
};

struct GifRecipe {
  int screenWidth = 1, screenHeight = 1;
  std::vector<Rgb> globalColors;  // none: no global table
  int backgroundIndex = 0;
  std::vector<GifFrame> frames;
};

// Writes the GIF with literal LZW codes (no compression to speak of).
Bytes buildGif(const GifRecipe& recipe);

// A PNG chunk with its length and CRC.
Bytes pngChunk(std::string_view type, const Bytes& data);
// `png` with `chunk` inserted right after the IHDR chunk.
Bytes insertAfterHeader(const Bytes& png, const Bytes& chunk);
// zlib stream of `size` zero bytes.
Bytes deflatedZeros(size_t size);

// A still image of one colour.
std::shared_ptr<const Image> solidImage(int width, int height, uint32_t argb,
                                        ImageAlphaInfo alpha = ImageAlphaInfo::PremultipliedFirst,
                                        double scale = 1);

inline std::string_view asText(const Bytes& b) {
  return {reinterpret_cast<const char*>(b.data()), b.size()};
}

}  // namespace vexa::test
