#include "vexa/store/image/QLWebpDecoder.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <new>

#include "vexa/store/image/QLImageError.h"
#include "vexa/store/image/QLPixelConversion.h"

namespace vexa {

Result<QLWebpDecoder::Decoded> QLWebpDecoder::decode(std::span<const uint8_t> data,
                                                      const QLImageLimits& limits) {
  WebPBitstreamFeatures features{};
  if (WebPGetFeatures(data.data(), data.size(), &features) != VP8_STATUS_OK) {
    return qlImageError(QLImageErrorCode::Malformed, "WebP: unreadable header");
  }
  if (features.has_animation) {
    return qlImageError(QLImageErrorCode::UnknownFormat, "WebP: animations are not supported");
  }
  if (Status fits = limits.checkDimensions(features.width, features.height, "WebP image"); !fits) {
    return fits.error();
  }
  try {
    Decoded out;
    out.hasAlpha = features.has_alpha != 0;
    out.bitmap = std::make_shared<Bitmap>(features.width, features.height);
    auto* bytes = reinterpret_cast<uint8_t*>(out.bitmap->pixels());
    const size_t size = out.bitmap->byteSize();
    if (!WebPDecodeRGBAInto(data.data(), data.size(), bytes, size, out.bitmap->stride())) {
      return qlImageError(QLImageErrorCode::Malformed, "WebP: undecodable image data");
    }
    QLPixelConversion::rgbaToPremultipliedARGBInPlace(bytes, size / 4);
    return out;
  } catch (const std::bad_alloc&) {
    return qlImageError(QLImageErrorCode::TooLarge, "WebP: out of memory");
  }
}

Bytes QLWebpDecoder::exifPayload(std::span<const uint8_t> data, const QLImageLimits& limits) {
  WebPData webp{data.data(), data.size()};
  WebPDemuxer* demux = WebPDemux(&webp);
  if (!demux) return {};
  Bytes out;
  WebPChunkIterator chunk{};
  if (WebPDemuxGetChunk(demux, "EXIF", 1, &chunk)) {
    if (chunk.chunk.size <= limits.maxMetadataBytes) {
      out.assign(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
    }
    WebPDemuxReleaseChunkIterator(&chunk);
  }
  WebPDemuxDelete(demux);
  return out;
}

}  // namespace vexa
