// Label text comes from the service (package names, titles, keywords):
// measuring and drawing any bytes, valid UTF-8 or not, must stay safe and
// give finite sizes within the width asked for.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/TextEngine.h"

// fontconfig keeps its configuration for the whole process and never frees it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  static bool adopted = (MainQueue::shared().adoptCurrentThread(), true);
  (void)adopted;
  if (size < 2) return 0;
  int lines = data[0] % 4;
  double width = data[1] % 2 ? 0 : 20 + data[1];
  std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
  Font font = Font::systemFont(8 + data[0] % 24);
  Size s = TextEngine::shared().measure(text, font, width, lines);
  if (!std::isfinite(s.width) || !std::isfinite(s.height) || s.width < 0 || s.height < 0) std::abort();
  if (width > 0 && s.width > std::ceil(width)) std::abort();
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 32);
  cairo_t* cr = cairo_create(surface);
  TextEngine::shared().draw(cr, text, font, Color::black(), Rect(0, 0, 64, 32), TextAlignment::Center, lines);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return 0;
}
