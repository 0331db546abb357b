#include "ImageTestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>

namespace vexa::test {
namespace {

void put16(Bytes& out, int v) {
  out.push_back(uint8_t(v & 0xFF));
  out.push_back(uint8_t((v >> 8) & 0xFF));
}

void put32be(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

int tableBits(size_t count) {
  int bits = 1;
  while ((size_t(2) << (bits - 1)) < count) ++bits;
  return bits;
}

void putColorTable(Bytes& out, const std::vector<Rgb>& colors) {
  const size_t size = size_t(2) << (tableBits(colors.size()) - 1);
  for (size_t i = 0; i < size; ++i) {
    Rgb c = i < colors.size() ? colors[i] : Rgb{0, 0, 0};
    out.insert(out.end(), {c.r, c.g, c.b});
  }
}

// Literal 9-bit codes, with a clear code often enough that the decoder's
// code size never grows.
void putImageData(Bytes& out, const std::vector<uint8_t>& pixels) {
  constexpr int kMinCodeSize = 8, kClear = 256, kEnd = 257;
  std::vector<int> codes{kClear};
  int sinceClear = 0;
  for (uint8_t p : pixels) {
    if (sinceClear == 250) {
      codes.push_back(kClear);
      sinceClear = 0;
    }
    codes.push_back(p);
    ++sinceClear;
  }
  codes.push_back(kEnd);
  Bytes packed;
  uint32_t acc = 0;
  int bits = 0;
  for (int code : codes) {
    acc |= uint32_t(code) << bits;
    bits += 9;
    while (bits >= 8) {
      packed.push_back(uint8_t(acc & 0xFF));
      acc >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) packed.push_back(uint8_t(acc & 0xFF));
  out.push_back(kMinCodeSize);
  for (size_t i = 0; i < packed.size(); i += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - i);
    out.push_back(uint8_t(n));
    out.insert(out.end(), packed.begin() + i, packed.begin() + i + n);
  }
  out.push_back(0);
}

}  // namespace

Bytes fixture(const std::string& name) {
  std::ifstream in(std::string(VEXA_IMAGE_FIXTURES) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << "missing fixture " << name;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes buildGif(const GifRecipe& recipe) {
  Bytes out{'G', 'I', 'F', '8', '9', 'a'};
  put16(out, recipe.screenWidth);
  put16(out, recipe.screenHeight);
  uint8_t flags = 0;
  if (!recipe.globalColors.empty()) flags = uint8_t(0x80 | (tableBits(recipe.globalColors.size()) - 1));
  out.push_back(flags);
  out.push_back(uint8_t(recipe.backgroundIndex));
  out.push_back(0);
  if (!recipe.globalColors.empty()) putColorTable(out, recipe.globalColors);
  for (const GifFrame& f : recipe.frames) {
    if (f.delayCentiseconds) {
      const bool transparent = f.transparentIndex >= 0;
      out.insert(out.end(), {0x21, 0xF9, 4, uint8_t((f.disposal << 2) | (transparent ? 1 : 0))});
      put16(out, *f.delayCentiseconds);
      out.push_back(uint8_t(transparent ? f.transparentIndex : 0));
      out.push_back(0);
    }
    out.push_back(0x2C);
    put16(out, f.left);
    put16(out, f.top);
    put16(out, f.width);
    put16(out, f.height);
    uint8_t frameFlags = 0;
    if (!f.localColors.empty()) frameFlags = uint8_t(0x80 | (tableBits(f.localColors.size()) - 1));
    out.push_back(frameFlags);
    if (!f.localColors.empty()) putColorTable(out, f.localColors);
    putImageData(out, f.pixels);
  }
  out.push_back(0x3B);
  return out;
}

Bytes pngChunk(std::string_view type, const Bytes& data) {
  Bytes out;
  put32be(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
  crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
  put32be(out, static_cast<uint32_t>(crc));
  return out;
}

Bytes insertAfterHeader(const Bytes& png, const Bytes& chunk) {
  constexpr size_t kAfterIhdr = 8 + 8 + 13 + 4;
  Bytes out(png.begin(), png.begin() + kAfterIhdr);
  out.insert(out.end(), chunk.begin(), chunk.end());
  out.insert(out.end(), png.begin() + kAfterIhdr, png.end());
  return out;
}

Bytes deflatedZeros(size_t size) {
  Bytes zeros(size, 0);
  uLongf length = compressBound(static_cast<uLong>(size));
  Bytes out(length);
  EXPECT_EQ(compress2(out.data(), &length, zeros.data(), static_cast<uLong>(size), 9), Z_OK);
  out.resize(length);
  return out;
}

std::shared_ptr<const Image> solidImage(int width, int height, uint32_t color,
                                        ImageAlphaInfo alpha, double scale) {
  auto bitmap = std::make_shared<Bitmap>(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) bitmap->setPixel(x, y, color);
  }
  return Image::still(bitmap, scale, ImageOrientation::Up, alpha);
}

}  // namespace vexa::test
