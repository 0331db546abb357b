#include "support/TinyImages.h"

#include <zlib.h>

#include <cstdint>

namespace vexa::test {
namespace {

void appendChunk(std::string& png, const std::string& type, const std::string& data) {
  auto be32 = [&](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) png += static_cast<char>((v >> shift) & 0xff);
  };
  be32(static_cast<uint32_t>(data.size()));
  std::string body = type + data;
  png += body;
  be32(static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

}  // namespace

std::string tinyPng() {
  std::string png("\x89PNG\r\n\x1a\n", 8);
  appendChunk(png, "IHDR", std::string("\0\0\0\2\0\0\0\2\x08\x06\0\0\0", 13));
  const std::string rows("\0\xff\0\0\xff\0\0\xff\xff\0\0\0\0\xff\xff\xff\xff\x80", 18);
  std::string packed(compressBound(static_cast<uLong>(rows.size())), '\0');
  uLongf size = packed.size();
  compress(reinterpret_cast<Bytef*>(packed.data()), &size,
           reinterpret_cast<const Bytef*>(rows.data()), static_cast<uLong>(rows.size()));
  packed.resize(size);
  appendChunk(png, "IDAT", packed);
  appendChunk(png, "IEND", "");
  return png;
}

std::string tinyGif() {
  return std::string(
      "GIF89a\x01\0\x01\0\x80\0\0\xff\xff\xff\0\0\0!\xf9\x04\0\0\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02"
      "D\x01\0;",
      43);
}

}  // namespace vexa::test
