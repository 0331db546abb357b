#include "vexa/store/image/QLJpegDecoder.h"

#include <cstdio>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <new>
#include <string>
#include <vector>

#include "vexa/store/image/QLImageError.h"
#include "vexa/store/image/QLPixelConversion.h"

namespace vexa {
namespace {

struct JpegContext {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr errorManager{};
  jpeg_progress_mgr progress{};
  bool created = false;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = {};
  QLImageErrorCode code = QLImageErrorCode::Malformed;
  int maxScans = 0;
  std::vector<JSAMPLE> row;
  std::shared_ptr<Bitmap> bitmap;

  ~JpegContext() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

JpegContext* contextOf(j_common_ptr cinfo) { return static_cast<JpegContext*>(cinfo->client_data); }

// Takes plain text: no object with a destructor may be alive across longjmp.
[[noreturn]] void fail(JpegContext* c, QLImageErrorCode code, const char* message) {
  c->code = code;
  std::snprintf(c->message, sizeof c->message, "%s", message);
  std::longjmp(c->jump, 1);
}

[[noreturn]] void onErrorExit(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX] = {};
  (*cinfo->err->format_message)(cinfo, text);
  fail(contextOf(cinfo), QLImageErrorCode::Malformed, text);
}

void onMessage(j_common_ptr cinfo, int level) {
  // Truncation would otherwise give an image padded with grey.
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
    fail(contextOf(cinfo), QLImageErrorCode::Malformed, "JPEG data is truncated");
  }
}

void onProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  JpegContext* c = contextOf(cinfo);
  if (d->input_scan_number > c->maxScans) {
    char text[64];
    std::snprintf(text, sizeof text, "more than %d scans", c->maxScans);
    fail(c, QLImageErrorCode::TooLarge, text);
  }
}

void packRow(const JpegContext& c, uint32_t* out, bool cmyk, bool invertedCmyk) {
  const JSAMPLE* in = c.row.data();
  const JDIMENSION width = c.cinfo.output_width;
  if (!cmyk) {
    for (JDIMENSION x = 0; x < width; ++x, in += 3) {
      out[x] = QLPixelConversion::opaqueARGB(in[0], in[1], in[2]);
    }
    return;
  }
  for (JDIMENSION x = 0; x < width; ++x, in += 4) {
    unsigned cc = in[0], m = in[1], y = in[2], k = in[3];
    if (invertedCmyk) {  // Adobe writes the ink amounts inverted
      out[x] = QLPixelConversion::opaqueARGB(uint8_t(cc * k / 255), uint8_t(m * k / 255),
                                             uint8_t(y * k / 255));
    } else {
      out[x] = QLPixelConversion::opaqueARGB(uint8_t((255 - cc) * (255 - k) / 255),
                                             uint8_t((255 - m) * (255 - k) / 255),
                                             uint8_t((255 - y) * (255 - k) / 255));
    }
  }
}

// Only trivially destructible locals below setjmp.
Status readImage(JpegContext* c, std::span<const uint8_t> data, const QLImageLimits& limits) {
  if (setjmp(c->jump)) {
    return qlImageError(c->code, std::string("JPEG: ") + c->message);
  }
  c->cinfo.client_data = c;
  jpeg_create_decompress(&c->cinfo);
  c->created = true;
  c->cinfo.mem->max_memory_to_use = static_cast<long>(limits.maxDecoderMemory);
  c->cinfo.progress = &c->progress;
  jpeg_mem_src(&c->cinfo, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&c->cinfo, TRUE);
  if (Status fits = limits.checkDimensions(c->cinfo.image_width, c->cinfo.image_height,
                                           "JPEG image");
      !fits) {
    return fits;
  }
  const bool cmyk =
      c->cinfo.jpeg_color_space == JCS_CMYK || c->cinfo.jpeg_color_space == JCS_YCCK;
  c->cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  const bool invertedCmyk = cmyk && c->cinfo.saw_Adobe_marker;
  jpeg_start_decompress(&c->cinfo);
  const JDIMENSION width = c->cinfo.output_width, height = c->cinfo.output_height;
  if (Status fits = limits.checkDimensions(width, height, "JPEG output"); !fits) return fits;
  if (c->cinfo.output_components != (cmyk ? 4 : 3)) {
    return qlImageError(QLImageErrorCode::Malformed, "JPEG: unexpected colour layout");
  }
  c->row.resize(size_t(width) * c->cinfo.output_components);
  c->bitmap = std::make_shared<Bitmap>(static_cast<int>(width), static_cast<int>(height));
  while (c->cinfo.output_scanline < height) {
    JSAMPROW rows[1] = {c->row.data()};
    const JDIMENSION y = c->cinfo.output_scanline;
    if (jpeg_read_scanlines(&c->cinfo, rows, 1) != 1) {
      return qlImageError(QLImageErrorCode::Malformed, "JPEG: image data ended early");
    }
    packRow(*c, c->bitmap->pixels() + size_t(y) * width, cmyk, invertedCmyk);
  }
  jpeg_finish_decompress(&c->cinfo);
  return Status::Ok();
}

}  // namespace

Result<std::shared_ptr<Bitmap>> QLJpegDecoder::decode(std::span<const uint8_t> data,
                                                      const QLImageLimits& limits) {
  if (data.size() < 3 || data[0] != 0xFF || data[1] != 0xD8) {
    return qlImageError(QLImageErrorCode::UnknownFormat, "JPEG: no start-of-image marker");
  }
  try {
    auto c = std::make_unique<JpegContext>();
    c->cinfo.err = jpeg_std_error(&c->errorManager);
    c->errorManager.error_exit = onErrorExit;
    c->errorManager.emit_message = onMessage;
    c->progress.progress_monitor = onProgress;
    c->maxScans = limits.maxJpegScans;
    Status read = readImage(c.get(), data, limits);
    if (!read) return read.error();
    return std::move(c->bitmap);
  } catch (const std::bad_alloc&) {
    return qlImageError(QLImageErrorCode::TooLarge, "JPEG: out of memory");
  }
}

}  // namespace vexa
