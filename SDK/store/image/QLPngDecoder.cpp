#include "vexa/store/image/QLPngDecoder.h"

#include <png.h>

#include <algorithm>
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
  const QLImageLimits* limits = nullptr;
  Status refused;        // a limit passed in the header callback
  bool interlaced = false;
  png_uint_32 height = 0;
  bool rowsDone = false;
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
    return;
  }
#endif
  // libpng's progressive reader knows no eXIf chunk; it keeps it as an
  // unknown one instead (see readImage()).
  png_unknown_chunkp chunks = nullptr;
  const int count = png_get_unknown_chunks(c.png, c.info, &chunks);
  for (int i = 0; i < count; ++i) {
    if (std::memcmp(chunks[i].name, "eXIf", 4) == 0 && chunks[i].size > 0) {
      c.out.exif.assign(chunks[i].data, chunks[i].data + chunks[i].size);
      return;
    }
  }
}

// The header is known: check it, choose the transformations, take the
// bitmap the rows are written into.
void onInfo(png_structp png, png_infop info) {
  auto* c = static_cast<PngContext*>(png_get_progressive_ptr(png));
  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
  c->refused = c->limits->checkDimensions(width, height, "PNG image");
  if (!c->refused) png_error(png, "image larger than allowed");
  c->out.hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  if (!c->out.hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  c->interlaced = interlace != PNG_INTERLACE_NONE;
  if (c->interlaced) png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "unexpected row layout");
  takeExif(*c);
  c->height = height;
  c->out.bitmap = std::make_shared<Bitmap>(static_cast<int>(width), static_cast<int>(height));
}

void onRow(png_structp png, png_bytep row, png_uint_32 number, int pass) {
  auto* c = static_cast<PngContext*>(png_get_progressive_ptr(png));
  if (number >= c->height || c->rowsDone) return;
  auto* target = reinterpret_cast<png_bytep>(c->out.bitmap->pixels()) +
                 size_t(number) * size_t(c->out.bitmap->width()) * 4;
  if (row) png_progressive_combine_row(png, target, row);
  // The last row of the last pass: whatever follows in the image data is
  // not needed, and inflating it could take as long as the sender likes.
  // Leaving by the error path is the one way out of libpng's loop that
  // does not depend on its bookkeeping.
  if (number + 1 == c->height && pass == (c->interlaced ? 6 : 0)) {
    c->rowsDone = true;
    png_error(png, "rows complete");
  }
}

void onEnd(png_structp png, png_infop) {
  auto* c = static_cast<PngContext*>(png_get_progressive_ptr(png));
  if (c->out.bitmap) c->rowsDone = true;
}

// Only trivially destructible locals below setjmp.
Status finish(PngContext* c) {
  auto* base = reinterpret_cast<uint8_t*>(c->out.bitmap->pixels());
  QLPixelConversion::rgbaToPremultipliedARGBInPlace(
      base, size_t(c->out.bitmap->width()) * size_t(c->out.bitmap->height()));
  return Status::Ok();
}

Status readImage(PngContext* c) {
  if (setjmp(c->jump)) {
    if (c->rowsDone) return finish(c);
    if (!c->refused) return c->refused;
    return qlImageError(QLImageErrorCode::Malformed, std::string("PNG: ") + c->message);
  }
  png_set_progressive_read_fn(c->png, c, onInfo, onRow, onEnd);
  static const png_byte kExif[] = "eXIf";
  png_set_keep_unknown_chunks(c->png, PNG_HANDLE_CHUNK_ALWAYS, kExif, 1);
  // Fed in slices, so that a stream libpng would walk on through ends at a
  // slice's end.
  constexpr size_t kSlice = 64 << 10;
  while (!c->rowsDone && c->position < c->data.size()) {
    const size_t n = std::min(kSlice, c->data.size() - c->position);
    png_process_data(c->png, c->info, const_cast<png_bytep>(c->data.data() + c->position), n);
    c->position += n;
  }
  if (!c->rowsDone) return qlImageError(QLImageErrorCode::Malformed, "PNG: data is truncated");
  return finish(c);
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
    c->limits = &limits;
    Status read = readImage(c.get());
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
