#include "service/Canvas.h"

#include <cstring>

namespace vexa::service {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

uint32_t Canvas::pixel(int x, int y) const {
  const unsigned char* row = cairo_image_surface_get_data(surface_) +
                             static_cast<size_t>(y) * cairo_image_surface_get_stride(surface_);
  uint32_t value;
  std::memcpy(&value, row + static_cast<size_t>(x) * 4, 4);
  return value;
}

Result<std::string> Canvas::png() const {
  std::string bytes;
  auto write = [](void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  };
  cairo_surface_flush(surface_);
  cairo_status_t status = cairo_surface_write_to_png_stream(surface_, write, &bytes);
  if (status != CAIRO_STATUS_SUCCESS)
    return Error("VXServiceArtErrorDomain", status, cairo_status_to_string(status));
  return bytes;
}

}  // namespace vexa::service
