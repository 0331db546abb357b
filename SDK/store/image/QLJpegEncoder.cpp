#include "vexa/store/image/QLJpegEncoder.h"

#include <cstdio>
#include <cstdlib>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <new>
#include <string>
#include <vector>

#include "vexa/store/image/QLImageError.h"
#include "vexa/store/image/QLOrientationTransform.h"
#include "vexa/store/image/QLPixelConversion.h"

namespace vexa {
namespace {

struct JpegWriteContext {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errorManager{};
  bool created = false;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = {};
  std::vector<JSAMPLE> row;
  unsigned char* buffer = nullptr;  // malloc'd by libjpeg
  unsigned long size = 0;

  ~JpegWriteContext() {
    if (created) jpeg_destroy_compress(&cinfo);
    std::free(buffer);
  }
};

[[noreturn]] void onErrorExit(j_common_ptr cinfo) {
  auto* c = static_cast<JpegWriteContext*>(cinfo->client_data);
  (*cinfo->err->format_message)(cinfo, c->message);
  std::longjmp(c->jump, 1);
}

// Only trivially destructible locals below setjmp.
Status writeImage(JpegWriteContext* c, const Bitmap* bitmap, int quality) {
  if (setjmp(c->jump)) {
    return qlImageError(QLImageErrorCode::EncodeFailed, std::string("JPEG: ") + c->message);
  }
  c->cinfo.client_data = c;
  jpeg_create_compress(&c->cinfo);
  c->created = true;
  jpeg_mem_dest(&c->cinfo, &c->buffer, &c->size);
  c->cinfo.image_width = static_cast<JDIMENSION>(bitmap->width());
  c->cinfo.image_height = static_cast<JDIMENSION>(bitmap->height());
  c->cinfo.input_components = 3;
  c->cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c->cinfo);
  jpeg_set_quality(&c->cinfo, quality, TRUE);
  jpeg_start_compress(&c->cinfo, TRUE);
  while (c->cinfo.next_scanline < c->cinfo.image_height) {
    const uint32_t* in = bitmap->pixels() + size_t(c->cinfo.next_scanline) * bitmap->width();
    QLPixelConversion::premultipliedARGBToRGB(in, size_t(bitmap->width()), c->row.data());
    JSAMPROW rows[1] = {c->row.data()};
    jpeg_write_scanlines(&c->cinfo, rows, 1);
  }
  jpeg_finish_compress(&c->cinfo);
  return Status::Ok();
}

}  // namespace

Result<Bytes> QLJpegEncoder::encode(const Image& image, double quality) {
  try {
    auto upright = QLOrientationTransform::uprightBitmap(image.bitmap(), image.orientation());
    auto c = std::make_unique<JpegWriteContext>();
    c->cinfo.err = jpeg_std_error(&c->errorManager);
    c->errorManager.error_exit = onErrorExit;
    c->row.resize(size_t(upright->width()) * 3);
    const int q = static_cast<int>(std::clamp(quality, 0.0, 1.0) * 100 + 0.5);
    if (Status s = writeImage(c.get(), upright.get(), q); !s) return s.error();
    return Bytes(c->buffer, c->buffer + c->size);
  } catch (const std::bad_alloc&) {
    return qlImageError(QLImageErrorCode::EncodeFailed, "JPEG: out of memory");
  }
}

}  // namespace vexa
