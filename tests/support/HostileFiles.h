// Small files that cost a careless decoder gigabytes or seconds, made in
// memory for the tests that show they no longer do and for
// bench/hostile_input_bench.cpp, which measures them. Header-only so that
// the benchmarks, which do not link the test library, can use them.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace vexa::test::hostile {

using ByteString = std::string;

inline void appendBE32(ByteString& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xff);
}

// A PNG chunk with its length and CRC; `breakCrc` writes a wrong CRC.
inline ByteString pngChunk(const std::string& type, const ByteString& data, bool breakCrc = false) {
  ByteString out;
  appendBE32(out, static_cast<uint32_t>(data.size()));
  ByteString body = type + data;
  out += body;
  uint32_t crc = static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
  appendBE32(out, breakCrc ? ~crc : crc);
  return out;
}

inline ByteString pngHeader(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType) {
  ByteString ihdr;
  appendBE32(ihdr, width);
  appendBE32(ihdr, height);
  ihdr += static_cast<char>(depth);
  ihdr += static_cast<char>(colorType);
  ihdr += ByteString(3, '\0');  // deflate, adaptive filters, not interlaced
  return ByteString("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr);
}

// Raw deflate blocks (no zlib header, none final) that inflate to `count`
// zero bytes. Made from one flushed block repeated, so a gigabyte of zeros
// costs a few milliseconds to describe.
inline ByteString deflatedZeroBlocks(uint64_t count) {
  constexpr size_t kUnit = size_t(1) << 20;
  auto flushedBlock = [](size_t n) {
    std::vector<unsigned char> zeros(n, 0);
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    ByteString out(deflateBound(&z, static_cast<uLong>(n)) + 64, '\0');
    z.next_in = zeros.data();
    z.avail_in = static_cast<uInt>(n);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FULL_FLUSH);  // byte-aligned, refers to nothing before it
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    return out;
  };
  ByteString out;
  const ByteString unit = flushedBlock(kUnit);
  for (uint64_t i = 0; i < count / kUnit; ++i) out += unit;
  if (count % kUnit) out += flushedBlock(static_cast<size_t>(count % kUnit));
  return out;
}

// A zlib stream of `prefix` followed by `zeros` zero bytes.
inline ByteString zlibStream(const ByteString& prefix, uint64_t zeros) {
  ByteString out("\x78\x01", 2);
  // The prefix as one stored block.
  out += '\0';
  const uint16_t n = static_cast<uint16_t>(prefix.size());
  out += static_cast<char>(n & 0xff);
  out += static_cast<char>(n >> 8);
  out += static_cast<char>(~n & 0xff);
  out += static_cast<char>((~n >> 8) & 0xff);
  out += prefix;
  out += deflatedZeroBlocks(zeros);
  out += ByteString("\x01\x00\x00\xff\xff", 5);  // final empty stored block
  uLong adler = adler32(1, reinterpret_cast<const Bytef*>(prefix.data()), static_cast<uInt>(prefix.size()));
  std::vector<unsigned char> block(1 << 16, 0);
  const uLong blockAdler = adler32(1, block.data(), static_cast<uInt>(block.size()));
  for (uint64_t left = zeros; left > 0;) {
    const uInt take = static_cast<uInt>(std::min<uint64_t>(left, block.size()));
    adler = take == block.size() ? adler32_combine(adler, blockAdler, take)
                                 : adler32_combine(adler, adler32(1, block.data(), take), take);
    left -= take;
  }
  appendBE32(out, static_cast<uint32_t>(adler));
  return out;
}

// A 1 x 1 grey PNG whose image data goes on with `extraZeros` bytes that no
// row needs (about 2 MB of file for 2 GB of zeros). With `brokenTail` the
// extra data lies in a second IDAT chunk with a wrong CRC: a decoder that
// stops after the rows never sees it.
inline ByteString pngOnePixelWithTrailingData(uint64_t extraZeros, bool brokenTail = false) {
  ByteString png = pngHeader(1, 1, 8, 0);
  const ByteString row("\0\x80", 2);  // filter 0, one grey pixel
  if (!brokenTail) {
    png += pngChunk("IDAT", zlibStream(row, extraZeros));
  } else {
    ByteString stream = zlibStream(row, extraZeros);
    const size_t rowPart = 2 + 5 + row.size();  // zlib header, stored block
    png += pngChunk("IDAT", stream.substr(0, rowPart));
    png += pngChunk("IDAT", stream.substr(rowPart), true);
  }
  png += pngChunk("IEND", "");
  return png;
}

// A PNG of width x height one-bit grey pixels, all black: 8192 x 8192 is
// 64 Mpx in about 8 KB.
inline ByteString pngBlackBits(uint32_t width, uint32_t height) {
  ByteString png = pngHeader(width, height, 1, 0);
  const uint64_t rowBytes = 1 + (uint64_t(width) + 7) / 8;
  png += pngChunk("IDAT", zlibStream(ByteString(), rowBytes * height));
  png += pngChunk("IEND", "");
  return png;
}

// --- GIF ---------------------------------------------------------------------

// GIF LZW codes for `pixels` pixels of colour 0, as sub-blocks with their
// terminator, compressing as far as LZW goes (each code one pixel longer
// than the last), so 64 Mpx take about 48 KB.
inline ByteString gifZeroRun(uint64_t pixels, int minCodeSize = 2) {
  const unsigned clear = 1u << minCodeSize, eoi = clear + 1;
  ByteString packed;
  uint32_t acc = 0;
  int accBits = 0;
  unsigned running = 0, bits = 0, maxCode = 0;
  bool first = true;
  auto put = [&](unsigned code) {
    acc |= code << accBits;
    accBits += static_cast<int>(bits);
    while (accBits >= 8) {
      packed += static_cast<char>(acc & 0xff);
      acc >>= 8;
      accBits -= 8;
    }
  };
  auto reset = [&] {
    running = eoi + 1;
    bits = static_cast<unsigned>(minCodeSize) + 1;
    maxCode = 1u << bits;
    first = true;
  };
  // The decoder widens its codes after reading each one.
  auto emit = [&](unsigned code) {
    put(code);
    if (running < 4097 && ++running > maxCode && bits < 12) {
      maxCode <<= 1;
      ++bits;
    }
  };
  auto emitClear = [&] {
    put(clear);
    reset();
  };
  reset();
  emitClear();
  uint64_t left = pixels;
  while (left > 0) {
    if (running >= 4097) emitClear();
    if (first) {
      emit(0);
      first = false;
      --left;
      continue;
    }
    // The code the decoder defines on reading the next one stands for one
    // pixel more than the last.
    const uint64_t length = running - eoi;
    if (length <= left) {
      emit(running - 1);
      left -= length;
    } else {
      emit(0);
      --left;
    }
  }
  put(eoi);
  if (accBits > 0) packed += static_cast<char>(acc & 0xff);
  ByteString out;
  out += static_cast<char>(minCodeSize);
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - at);
    out += static_cast<char>(n);
    out += packed.substr(at, n);
  }
  out += '\0';
  return out;
}

inline void appendLE16(ByteString& out, unsigned v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}

// Header and logical screen with a global table of four colours.
inline ByteString gifScreen(unsigned width, unsigned height) {
  ByteString gif("GIF89a", 6);
  appendLE16(gif, width);
  appendLE16(gif, height);
  gif += static_cast<char>(0x81);  // global table of 4 entries
  gif += ByteString("\0\0", 2);
  gif += ByteString("\xff\0\0\0\xff\0\0\0\xff\xff\xff\xff", 12);
  return gif;
}

inline ByteString gifImageDescriptor(unsigned left, unsigned top, unsigned width, unsigned height) {
  ByteString d(",", 1);
  appendLE16(d, left);
  appendLE16(d, top);
  appendLE16(d, width);
  appendLE16(d, height);
  d += '\0';
  return d;
}

// A 1 x 1 screen over `frames` frames of side x side pixels, each with all
// its compressed pixels (about 0.9 MB for 20 frames of 8192 x 8192).
inline ByteString gifHugeFramesOnATinyScreen(int frames, unsigned side) {
  ByteString gif = gifScreen(1, 1);
  const ByteString pixels = gifZeroRun(uint64_t(side) * side);
  for (int i = 0; i < frames; ++i) {
    gif += ByteString("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8);  // 0.1 s
    gif += gifImageDescriptor(0, 0, side, side);
    gif += pixels;
  }
  gif += ';';
  return gif;
}

// 41 bytes that declare an 8192 x 8192 screen and frame and hold a handful
// of pixels.
inline ByteString gifTinyClaimingHuge() {
  ByteString gif("GIF89a", 6);
  appendLE16(gif, 8192);
  appendLE16(gif, 8192);
  gif += static_cast<char>(0x80);  // global table of 2 entries
  gif += ByteString("\0\0", 2);
  gif += ByteString("\0\0\0\xff\xff\xff", 6);
  gif += gifImageDescriptor(0, 0, 8192, 8192);
  gif += ByteString("\x02\x08\x84\x8f\xa9\xcb\xed\x0f\x63\x8c\x00", 11);
  gif += ';';
  return gif;
}

// --- JPEG --------------------------------------------------------------------

// A baseline grey JPEG that declares width x height but whose scan holds
// one 8 x 8 block before the end-of-image marker (about 300 bytes).
inline ByteString jpegClaimingHugeEndingAtMarker(unsigned width = 8192, unsigned height = 8192) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = 8;
  cinfo.image_height = 8;
  cinfo.input_components = 1;
  cinfo.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(8, 0x80);
  while (cinfo.next_scanline < 8) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  ByteString jpeg(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  // SOF0: marker, length, precision, then height and width.
  const size_t sof = jpeg.find("\xff\xc0", 2);
  if (sof != ByteString::npos) {
    jpeg[sof + 5] = static_cast<char>(height >> 8);
    jpeg[sof + 6] = static_cast<char>(height & 0xff);
    jpeg[sof + 7] = static_cast<char>(width >> 8);
    jpeg[sof + 8] = static_cast<char>(width & 0xff);
  }
  return jpeg;
}

}  // namespace vexa::test::hostile
