#include "vexa/store/image/QLPngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "vexa/store/image/QLImageError.h"
#include "vexa/store/image/QLPixelConversion.h"

namespace vexa {
namespace {

// Everything the setjmp frame touches lives here, on the heap side of a
// pointer that never changes after setjmp, so a longjmp leaves it intact.
struct PngContext {
  std::span<const uint8_t> data;
  size_t position = 0;
  char message[256] = {};
  std::jmp_buf jump;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<png_bytep> rows;
  QLPngDecoder::Decoded out;

  ~PngContext() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
};

[[noreturn]] void onError(png_structp png, png_const_charp message) {
  auto* c = static_cast<PngContext*>(png_get_error_ptr(png));
  std::snprintf(c->message, sizeof c->message, "%s", message ? message : "unknown error");
  std::longjmp(c->jump, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onRead(png_structp png, png_bytep out, size_t length) {
  auto* c = static_cast<PngContext*>(png_get_io_ptr(png));
  if (length > c->data.size() - c->position) png_error(png, "PNG data is truncated");
  std::memcpy(out, c->data.data() + c->position, length);
  c->position += length;
}

bool createReader(PngContext& c, const QLImageLimits& limits) {
  c.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &c, onError, onWarning);
  if (!c.png) return false;
  c.info = png_create_info_struct(c.png);
  if (!c.info) return false;
  png_set_read_fn(c.png, &c, onRead);
  png_set_user_limits(c.png, static_cast<png_uint_32>(limits.maxSide),
                      static_cast<png_uint_32>(limits.maxSide));
  png_set_chunk_malloc_max(c.png, limits.maxMetadataBytes);
  png_set_chunk_cache_max(c.png, 256);
  static const png_byte kSkipped[] = "iCCP\0zTXt\0iTXt\0tEXt\0sPLT\0";
  png_set_keep_unknown_chunks(c.png, PNG_HANDLE_CHUNK_NEVER, kSkipped, 5);
  return true;
}

void takeExif(PngContext& c) {
#ifdef PNG_eXIf_SUPPORTED
  png_uint_32 length = 0;
  png_bytep exif = nullptr;
  if (png_get_eXIf_1(c.png, c.info, &length, &exif) && exif && length > 0) {
    c.out.exif.assign(exif, exif + length);
  }
#else
  (void)c;
#endif
}

// Only trivially destructible locals below setjmp.
Status readImage(PngContext* c, const QLImageLimits& limits) {
  if (setjmp(c->jump)) {
    return qlImageError(QLImageErrorCode::Malformed, std::string("PNG: ") + c->message);
  }
  png_read_info(c->png, c->info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0, interlace = 0;
  png_get_IHDR(c->png, c->info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
  if (Status fits = limits.checkDimensions(width, height, "PNG image"); !fits) return fits;

  c->out.hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(c->png, c->info, PNG_INFO_tRNS);
  png_set_expand(c->png);
  png_set_strip_16(c->png);
  png_set_gray_to_rgb(c->png);
  if (!c->out.hasAlpha) png_set_filler(c->png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(c->png);
  png_read_update_info(c->png, c->info);
  if (png_get_rowbytes(c->png, c->info) != size_t(width) * 4) {
    return qlImageError(QLImageErrorCode::Malformed, "PNG: unexpected row layout");
  }

  c->out.bitmap = std::make_shared<Bitmap>(static_cast<int>(width), static_cast<int>(height));
  auto* base = reinterpret_cast<uint8_t*>(c->out.bitmap->pixels());
  c->rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) c->rows[y] = base + size_t(y) * width * 4;
  png_read_image(c->png, c->rows.data());
  takeExif(*c);
  QLPixelConversion::rgbaToPremultipliedARGBInPlace(base, size_t(width) * height);
  return Status::Ok();
}

// The size the header declares, checked before libpng allocates anything.
Status checkDeclaredSize(std::span<const uint8_t> data, const QLImageLimits& limits) {
  constexpr size_t kHeaderEnd = 8 + 8 + 8;  // signature, length and type, width and height
  if (data.size() < kHeaderEnd || std::memcmp(data.data() + 12, "IHDR", 4) != 0) {
    return Status::Ok();  // libpng reports the damage
  }
  auto be32 = [&](size_t at) {
    return (uint32_t(data[at]) << 24) | (uint32_t(data[at + 1]) << 16) |
           (uint32_t(data[at + 2]) << 8) | uint32_t(data[at + 3]);
  };
  const uint32_t width = be32(16), height = be32(20);
  if (width == 0 || height == 0) return Status::Ok();
  return limits.checkDimensions(width, height, "PNG image");
}

Status readExifOnly(PngContext* c) {
  if (setjmp(c->jump)) {
    return qlImageError(QLImageErrorCode::Malformed, std::string("PNG: ") + c->message);
  }
  png_read_info(c->png, c->info);
  takeExif(*c);
  return Status::Ok();
}

}  // namespace

Result<QLPngDecoder::Decoded> QLPngDecoder::decode(std::span<const uint8_t> data,
                                                    const QLImageLimits& limits) {
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) {
    return qlImageError(QLImageErrorCode::UnknownFormat, "PNG: no PNG signature");
  }
  if (Status fits = checkDeclaredSize(data, limits); !fits) return fits.error();
  try {
    auto c = std::make_unique<PngContext>();
    c->data = data;
    if (!createReader(*c, limits)) {
      return qlImageError(QLImageErrorCode::Malformed, "PNG: cannot create the decoder");
    }
    Status read = readImage(c.get(), limits);
    if (!read) return read.error();
    return std::move(c->out);
  } catch (const std::bad_alloc&) {
    return qlImageError(QLImageErrorCode::TooLarge, "PNG: out of memory");
  }
}

Bytes QLPngDecoder::exifPayload(std::span<const uint8_t> data, const QLImageLimits& limits) {
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return {};
  try {
    auto c = std::make_unique<PngContext>();
    c->data = data;
    if (!createReader(*c, limits)) return {};
    if (!readExifOnly(c.get())) return {};
    return std::move(c->out.exif);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace vexa
