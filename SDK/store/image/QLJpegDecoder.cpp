#include "vexa/store/image/QLJpegDecoder.h"

#include <cstdio>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
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
  bool scanned[MAX_COMPONENTS] = {};  // components some scan has carried
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
  // Data that ends early, at the end of the bytes or at any marker, would
  // otherwise give an image padded with grey.
  if (level < 0 && (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER)) {
    fail(contextOf(cinfo), QLImageErrorCode::Malformed, "JPEG data ends before its last scan line");
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
  if (d->input_scan_number > 0) {
    for (int i = 0; i < d->comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i) {
      if (d->cur_comp_info[i] && d->cur_comp_info[i]->component_index < MAX_COMPONENTS) {
        c->scanned[d->cur_comp_info[i]->component_index] = true;
      }
    }
  }
}

// Every block of every component costs at least one bit of Huffman-coded
// data (its DC difference), so a file too small for its declared blocks is
// cut short whatever it holds; it is refused before any pixel memory is
// taken. Arithmetic coding has no such floor.
bool tooShortForItsBlocks(const jpeg_decompress_struct& cinfo, size_t bytes) {
  if (cinfo.arith_code) return false;
  uint64_t blocks = 0;
  for (int c = 0; c < cinfo.num_components; ++c) {
    blocks += uint64_t(cinfo.comp_info[c].width_in_blocks) * cinfo.comp_info[c].height_in_blocks;
  }
  return blocks > uint64_t(bytes) * 8;
}

// Whether every component got image data: a file may end (or go on to its
// end marker) before the scans of some components, which would leave them
// grey.
bool everyComponentScanned(const JpegContext& c) {
  for (int i = 0; i < c.cinfo.num_components; ++i) {
    if (c.cinfo.progressive_mode) {
      if (c.cinfo.coef_bits && c.cinfo.coef_bits[i][0] < 0) return false;
    } else if (!c.scanned[i]) {
      return false;
    }
  }
  return true;
}

// CMYK rows are read into the bitmap's own row (four bytes a pixel too)
// and turned into colours in place.
void cmykToArgbInPlace(uint32_t* row, JDIMENSION width, bool inverted) {
  auto* in = reinterpret_cast<const JSAMPLE*>(row);
  for (JDIMENSION x = 0; x < width; ++x) {
    unsigned cc = in[4 * x], m = in[4 * x + 1], y = in[4 * x + 2], k = in[4 * x + 3];
    if (inverted) {  // Adobe writes the ink amounts inverted
      row[x] = QLPixelConversion::opaqueARGB(uint8_t(cc * k / 255), uint8_t(m * k / 255),
                                             uint8_t(y * k / 255));
    } else {
      row[x] = QLPixelConversion::opaqueARGB(uint8_t((255 - cc) * (255 - k) / 255),
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
  if (tooShortForItsBlocks(c->cinfo, data.size())) {
    return qlImageError(QLImageErrorCode::Malformed,
                        "JPEG: data ends before its last scan line (too short for its size)");
  }
  const bool cmyk =
      c->cinfo.jpeg_color_space == JCS_CMYK || c->cinfo.jpeg_color_space == JCS_YCCK;
  // Rows go straight into the bitmap: 32-bit pixels in native byte order.
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  c->cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
#else
  c->cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_ARGB;
#endif
  const bool invertedCmyk = cmyk && c->cinfo.saw_Adobe_marker;
  // libjpeg's own buffers and the bitmap share the image's budget.
  const uint64_t bitmapBytes = uint64_t(c->cinfo.image_width) * c->cinfo.image_height * 4;
  const uint64_t budget = limits.maxPixels * 4;
  // (0 would mean "no limit" to libjpeg.)
  c->cinfo.mem->max_memory_to_use = static_cast<long>(std::max<uint64_t>(
      1, std::min<uint64_t>(limits.maxDecoderMemory, budget > bitmapBytes ? budget - bitmapBytes : 0)));
  jpeg_start_decompress(&c->cinfo);
  const JDIMENSION width = c->cinfo.output_width, height = c->cinfo.output_height;
  if (Status fits = limits.checkDimensions(width, height, "JPEG output"); !fits) return fits;
  if (c->cinfo.output_components != 4) {
    return qlImageError(QLImageErrorCode::Malformed, "JPEG: unexpected colour layout");
  }
  c->bitmap = std::make_shared<Bitmap>(static_cast<int>(width), static_cast<int>(height));
  while (c->cinfo.output_scanline < height) {
    uint32_t* row = c->bitmap->pixels() + size_t(c->cinfo.output_scanline) * width;
    JSAMPROW rows[1] = {reinterpret_cast<JSAMPLE*>(row)};
    if (jpeg_read_scanlines(&c->cinfo, rows, 1) != 1) {
      return qlImageError(QLImageErrorCode::Malformed, "JPEG: image data ended early");
    }
    if (cmyk) cmykToArgbInPlace(row, width, invertedCmyk);
  }
  if (!everyComponentScanned(*c)) {
    return qlImageError(QLImageErrorCode::Malformed,
                        "JPEG: data ends before every component's scan");
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
