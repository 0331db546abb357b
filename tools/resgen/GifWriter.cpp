#include "GifWriter.h"

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace resgen {
namespace {

int appendBytes(GifFileType* gif, const GifByteType* bytes, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
  return length;
}

}  // namespace

std::string encodeGif(const std::vector<cairo_surface_t*>& frames, Rgb light, Rgb dark,
                      int delayCentiseconds) {
  if (frames.empty()) return {};
  int w = cairo_image_surface_get_width(frames[0]), h = cairo_image_surface_get_height(frames[0]);
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, appendBytes, &error);
  if (gif == nullptr) return {};

  // Index 0 is transparent; 1...255 run along the ramp.
  GifColorType colours[256] = {};
  for (int i = 1; i < 256; ++i) {
    double t = (i - 1) / 254.0;
    colours[i].Red = static_cast<GifByteType>(std::lround(255 * (light.r + (dark.r - light.r) * t)));
    colours[i].Green = static_cast<GifByteType>(std::lround(255 * (light.g + (dark.g - light.g) * t)));
    colours[i].Blue = static_cast<GifByteType>(std::lround(255 * (light.b + (dark.b - light.b) * t)));
  }
  std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(GifMakeMapObject(256, colours),
                                                                GifFreeMapObject);
  EGifSetGifVersion(gif, true);  // extensions need GIF89a
  bool ok = map && EGifPutScreenDesc(gif, w, h, 8, 0, map.get()) == GIF_OK;

  // Loop forever.
  const GifByteType netscape[] = "NETSCAPE2.0";
  const GifByteType loop[] = {1, 0, 0};
  ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
       EGifPutExtensionBlock(gif, 11, netscape) == GIF_OK &&
       EGifPutExtensionBlock(gif, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;

  double dr = dark.r - light.r, dg = dark.g - light.g, db = dark.b - light.b;
  double norm = dr * dr + dg * dg + db * db;
  std::vector<GifPixelType> row(static_cast<size_t>(w));
  for (cairo_surface_t* frame : frames) {
    if (!ok) break;
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_BACKGROUND;
    gcb.DelayTime = delayCentiseconds;
    gcb.TransparentColor = 0;
    GifByteType extension[4];
    EGifGCBToExtension(&gcb, extension);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
    cairo_surface_flush(frame);
    const unsigned char* data = cairo_image_surface_get_data(frame);
    int stride = cairo_image_surface_get_stride(frame);
    for (int y = 0; ok && y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        uint32_t p;
        std::memcpy(&p, data + y * stride + x * 4, 4);
        double a = (p >> 24) / 255.0;
        if (a < 0.5) {
          row[x] = 0;
          continue;
        }
        double r = ((p >> 16) & 0xFF) / 255.0 / a, g = ((p >> 8) & 0xFF) / 255.0 / a, b = (p & 0xFF) / 255.0 / a;
        double t = ((r - light.r) * dr + (g - light.g) * dg + (b - light.b) * db) / norm;
        row[x] = static_cast<GifPixelType>(1 + std::lround(std::clamp(t, 0.0, 1.0) * 254));
      }
      ok = EGifPutLine(gif, row.data(), w) == GIF_OK;
    }
  }
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  return ok ? out : std::string();
}

}  // namespace resgen
