#include "vexa/store/image/QLImageHeader.h"

#include <webp/decode.h>

#include <cstring>

#include "vexa/store/image/QLImageDecoder.h"
#include "vexa/store/image/QLImageError.h"

namespace vexa {
namespace {

uint32_t be16(std::span<const uint8_t> d, size_t at) { return (uint32_t(d[at]) << 8) | d[at + 1]; }
uint32_t be32(std::span<const uint8_t> d, size_t at) { return (be16(d, at) << 16) | be16(d, at + 2); }
uint32_t le16(std::span<const uint8_t> d, size_t at) { return uint32_t(d[at]) | (uint32_t(d[at + 1]) << 8); }

Error cutShort(const std::string& what) {
  return qlImageError(QLImageErrorCode::Malformed, what + ": header damaged or cut short");
}

Result<QLImageHeader> png(std::span<const uint8_t> d) {
  static const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
  if (d.size() < 24 || std::memcmp(d.data(), kSignature, 8) != 0 ||
      std::memcmp(d.data() + 12, "IHDR", 4) != 0) {
    return cutShort("PNG");
  }
  return QLImageHeader{"image/png", be32(d, 16), be32(d, 20)};
}

Result<QLImageHeader> gif(std::span<const uint8_t> d) {
  if (d.size() < 13 || std::memcmp(d.data(), "GIF", 3) != 0) return cutShort("GIF");
  QLImageHeader header{"image/gif", le16(d, 6), le16(d, 8)};
  if (header.width > 0 && header.height > 0) return header;
  // An empty screen takes the first image's extent; skip the global table
  // and any extensions up to it.
  size_t at = 13;
  if (d[10] & 0x80) at += size_t(3) << ((d[10] & 7) + 1);
  while (at < d.size() && d[at] == 0x21) {
    at += 2;
    while (at < d.size() && d[at] != 0) at += size_t(d[at]) + 1;
    ++at;
  }
  if (at + 9 >= d.size() || d[at] != 0x2C) return cutShort("GIF");
  header.width = int64_t(le16(d, at + 1)) + le16(d, at + 5);
  header.height = int64_t(le16(d, at + 3)) + le16(d, at + 7);
  return header;
}

Result<QLImageHeader> jpeg(std::span<const uint8_t> d) {
  if (d.size() < 4 || d[0] != 0xFF || d[1] != 0xD8) return cutShort("JPEG");
  size_t at = 2;
  while (at + 4 <= d.size()) {
    if (d[at] != 0xFF) return cutShort("JPEG");
    const uint8_t marker = d[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) break;  // no frame header before the data
    const size_t length = be16(d, at + 2);
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                       marker != 0xCC;
    if (frame) {
      if (length < 7 || at + 9 > d.size()) return cutShort("JPEG");
      return QLImageHeader{"image/jpeg", be16(d, at + 7), be16(d, at + 5)};
    }
    at += 2 + length;
  }
  return cutShort("JPEG");
}

Result<QLImageHeader> webp(std::span<const uint8_t> d) {
  int width = 0, height = 0;
  if (!WebPGetInfo(d.data(), d.size(), &width, &height)) return cutShort("WebP");
  return QLImageHeader{"image/webp", width, height};
}

}  // namespace

Result<QLImageHeader> QLImageHeader::read(std::span<const uint8_t> data, const QLImageLimits& limits) {
  if (data.empty()) return qlImageError(QLImageErrorCode::EmptyData, "no image data");
  const auto type = QLImageDecoder::ql_sd_contentTypeForImageData(data);
  Result<QLImageHeader> header = qlImageError(
      QLImageErrorCode::UnknownFormat, type ? "no decoder for " + *type : std::string("unknown image format"));
  if (type == "image/png") header = png(data);
  if (type == "image/gif") header = gif(data);
  if (type == "image/jpeg") header = jpeg(data);
  if (type == "image/webp") header = webp(data);
  if (!header) return header;
  if (Status fits = limits.checkDimensions(header->width, header->height, header->contentType); !fits) {
    return fits.error();
  }
  return header;
}

}  // namespace vexa
