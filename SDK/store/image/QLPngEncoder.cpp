#include "vexa/store/image/QLPngEncoder.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "vexa/store/image/QLImageError.h"
#include "vexa/store/image/QLOrientationTransform.h"
#include "vexa/store/image/QLPixelConversion.h"

namespace vexa {
namespace {

struct PngWriteContext {
  std::jmp_buf jump;
  char message[256] = {};
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<uint8_t> row;
  Bytes out;

  ~PngWriteContext() {
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  }
};

[[noreturn]] void onError(png_structp png, png_const_charp message) {
  auto* c = static_cast<PngWriteContext*>(png_get_error_ptr(png));
  std::snprintf(c->message, sizeof c->message, "%s", message ? message : "unknown error");
  std::longjmp(c->jump, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onWrite(png_structp png, png_bytep data, size_t length) {
  auto* c = static_cast<PngWriteContext*>(png_get_io_ptr(png));
  // An exception must not unwind libpng's frames: fail through libpng.
  bool stored = true;
  try {
    c->out.insert(c->out.end(), data, data + length);
  } catch (const std::bad_alloc&) {
    stored = false;
  }
  if (!stored) png_error(png, "out of memory");
}

void onFlush(png_structp) {}

// Only trivially destructible locals below setjmp.
Status writeImage(PngWriteContext* c, const Bitmap* bitmap, bool alpha) {
  if (setjmp(c->jump)) {
    return qlImageError(QLImageErrorCode::EncodeFailed, std::string("PNG: ") + c->message);
  }
  const int width = bitmap->width(), height = bitmap->height();
  png_set_write_fn(c->png, c, onWrite, onFlush);
  png_set_IHDR(c->png, c->info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
               8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(c->png, c->info);
  for (int y = 0; y < height; ++y) {
    const uint32_t* in = bitmap->pixels() + size_t(y) * size_t(width);
    if (alpha) {
      QLPixelConversion::premultipliedARGBToRGBA(in, size_t(width), c->row.data());
    } else {
      QLPixelConversion::premultipliedARGBToRGB(in, size_t(width), c->row.data());
    }
    png_write_row(c->png, c->row.data());
  }
  png_write_end(c->png, nullptr);
  return Status::Ok();
}

}  // namespace

Result<Bytes> QLPngEncoder::encode(const Image& image) {
  try {
    auto upright = QLOrientationTransform::uprightBitmap(image.bitmap(), image.orientation());
    const bool alpha = image.hasAlphaChannel();
    auto c = std::make_unique<PngWriteContext>();
    c->row.resize(size_t(upright->width()) * (alpha ? 4 : 3));
    c->out.reserve(upright->byteSize() / 4 + 1024);
    c->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, c.get(), onError, onWarning);
    if (!c->png) return qlImageError(QLImageErrorCode::EncodeFailed, "PNG: no encoder");
    c->info = png_create_info_struct(c->png);
    if (!c->info) return qlImageError(QLImageErrorCode::EncodeFailed, "PNG: no encoder");
    if (Status s = writeImage(c.get(), upright.get(), alpha); !s) return s.error();
    return std::move(c->out);
  } catch (const std::bad_alloc&) {
    return qlImageError(QLImageErrorCode::EncodeFailed, "PNG: out of memory");
  }
}

}  // namespace vexa
