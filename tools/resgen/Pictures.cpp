#include "Pictures.h"

#include <algorithm>
#include <cmath>

namespace resgen {
namespace {

void setHex(cairo_t* cr, unsigned rgb, double alpha = 1) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void chevron(cairo_t* cr, double w, double h, unsigned colour) {
  setHex(cr, colour);
  cairo_set_line_width(cr, std::max(1.0, w * 0.18));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, w * 0.8, h * 0.1);
  cairo_line_to(cr, w * 0.25, h * 0.5);
  cairo_line_to(cr, w * 0.8, h * 0.9);
  cairo_stroke(cr);
}

void add(cairo_t* cr, double w, double h) {
  double line = w * 0.02;
  setHex(cr, 0xc8c8c8);
  cairo_set_line_width(cr, line);
  double dash = w * 0.06;
  cairo_set_dash(cr, &dash, 1, 0);
  roundedRect(cr, line, line, w - 2 * line, h - 2 * line, w * 0.08);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_set_line_width(cr, w * 0.04);
  cairo_move_to(cr, w * 0.3, h / 2);
  cairo_line_to(cr, w * 0.7, h / 2);
  cairo_move_to(cr, w / 2, h * 0.3);
  cairo_line_to(cr, w / 2, h * 0.7);
  cairo_stroke(cr);
}

void choosed(cairo_t* cr, double w, double h) {
  setHex(cr, 0x36cab6);
  cairo_arc(cr, w / 2, h / 2, w / 2, 0, 2 * M_PI);
  cairo_fill(cr);
  setHex(cr, 0xffffff);
  cairo_set_line_width(cr, w * 0.1);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, w * 0.28, h * 0.52);
  cairo_line_to(cr, w * 0.44, h * 0.68);
  cairo_line_to(cr, w * 0.74, h * 0.36);
  cairo_stroke(cr);
}

void deleteMark(cairo_t* cr, double w, double h) {
  setHex(cr, 0xff3b30);
  cairo_arc(cr, w / 2, h / 2, w / 2, 0, 2 * M_PI);
  cairo_fill(cr);
  setHex(cr, 0xffffff);
  cairo_set_line_width(cr, w * 0.09);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, w * 0.32, h * 0.32);
  cairo_line_to(cr, w * 0.68, h * 0.68);
  cairo_move_to(cr, w * 0.68, h * 0.32);
  cairo_line_to(cr, w * 0.32, h * 0.68);
  cairo_stroke(cr);
}

void failed(cairo_t* cr, double w, double h) {
  // A picture frame with a hill and a sun, struck through.
  double line = h * 0.04;
  setHex(cr, 0xd3d3d3);
  cairo_set_line_width(cr, line);
  double fw = h * 1.2, fx = (w - fw) / 2;
  roundedRect(cr, fx, h * 0.1, fw, h * 0.8, h * 0.08);
  cairo_stroke(cr);
  cairo_arc(cr, fx + fw * 0.3, h * 0.35, h * 0.08, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_move_to(cr, fx + fw * 0.1, h * 0.8);
  cairo_line_to(cr, fx + fw * 0.45, h * 0.45);
  cairo_line_to(cr, fx + fw * 0.65, h * 0.65);
  cairo_line_to(cr, fx + fw * 0.75, h * 0.55);
  cairo_line_to(cr, fx + fw * 0.9, h * 0.8);
  cairo_close_path(cr);
  cairo_fill(cr);
  setHex(cr, 0xbebebe);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, line * 1.5);
  cairo_move_to(cr, fx - h * 0.05, h * 0.95);
  cairo_line_to(cr, fx + fw + h * 0.05, h * 0.05);
  cairo_stroke(cr);
}

void leftArrow(cairo_t* cr, double w, double h) { chevron(cr, w, h, 0xbebebe); }

void markNew(cairo_t* cr, double w, double h) {
  setHex(cr, 0xff3b30);
  cairo_arc(cr, w * 0.78, h * 0.22, w * 0.16, 0, 2 * M_PI);
  cairo_fill(cr);
}

void newBadge(cairo_t* cr, double w, double h) {
  setHex(cr, 0xff6a3d);
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, w, 0);
  cairo_line_to(cr, 0, h);
  cairo_close_path(cr);
  cairo_fill(cr);
  setHex(cr, 0xffffff);
  cairo_set_line_width(cr, w * 0.06);
  cairo_move_to(cr, w * 0.12, h * 0.5);
  cairo_line_to(cr, w * 0.5, h * 0.12);
  cairo_stroke(cr);
}

void star(cairo_t* cr, double w, double h) {
  setHex(cr, 0x36cab6);
  double cx = w / 2, cy = h * 0.53, outer = w * 0.47, inner = outer * 0.45;
  for (int i = 0; i < 10; ++i) {
    double r = i % 2 ? inner : outer, a = -M_PI / 2 + i * M_PI / 5;
    if (i == 0) cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    else cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
  cairo_fill(cr);
}

void remind(cairo_t* cr, double w, double h) {
  setHex(cr, 0xa3a3a3);
  cairo_set_line_width(cr, w * 0.07);
  cairo_arc(cr, w / 2, h / 2, w * 0.45, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_arc(cr, w / 2, h * 0.3, w * 0.06, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_rectangle(cr, w * 0.45, h * 0.42, w * 0.1, h * 0.34);
  cairo_fill(cr);
}

void shop(cairo_t* cr, double w, double h) {
  // A shopping bag with a plus, centred.
  double bw = h * 0.7, bx = (w - bw) / 2, top = h * 0.3, bottom = h * 0.9;
  setHex(cr, 0x515151);
  cairo_set_line_width(cr, h * 0.05);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  roundedRect(cr, bx, top, bw, bottom - top, h * 0.05);
  cairo_stroke(cr);
  cairo_arc(cr, w / 2, top, bw * 0.25, M_PI, 2 * M_PI);
  cairo_stroke(cr);
  cairo_move_to(cr, w / 2 - bw * 0.18, (top + bottom) / 2);
  cairo_line_to(cr, w / 2 + bw * 0.18, (top + bottom) / 2);
  cairo_move_to(cr, w / 2, (top + bottom) / 2 - bw * 0.18);
  cairo_line_to(cr, w / 2, (top + bottom) / 2 + bw * 0.18);
  cairo_stroke(cr);
}

void back(cairo_t* cr, double w, double h) { chevron(cr, w, h, 0xffffff); }

void setting(cairo_t* cr, double w, double h) {
  setHex(cr, 0xffffff);
  double cx = w / 2, cy = h / 2, outer = w * 0.42, inner = w * 0.32;
  for (int i = 0; i < 16; ++i) {
    double r = (i / 2) % 2 ? inner : outer, a = i * M_PI / 8;
    if (i == 0) cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    else cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
  cairo_new_sub_path(cr);
  cairo_arc_negative(cr, cx, cy, w * 0.13, 2 * M_PI, 0);
  cairo_fill(cr);
}

void backspace(cairo_t* cr, double w, double h) {
  setHex(cr, 0x515151);
  cairo_set_line_width(cr, h * 0.05);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, w * 0.1, h / 2);
  cairo_line_to(cr, w * 0.32, h * 0.2);
  cairo_line_to(cr, w * 0.9, h * 0.2);
  cairo_line_to(cr, w * 0.9, h * 0.8);
  cairo_line_to(cr, w * 0.32, h * 0.8);
  cairo_close_path(cr);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  double cx = w * 0.61, cy = h / 2, d = h * 0.13;
  cairo_move_to(cr, cx - d, cy - d);
  cairo_line_to(cr, cx + d, cy + d);
  cairo_move_to(cr, cx + d, cy - d);
  cairo_line_to(cr, cx - d, cy + d);
  cairo_stroke(cr);
}

}  // namespace

std::vector<Picture> builtinPictures() {
  return {
      {"add", add, 108, 108, 156, 156},
      {"choosed", choosed, 38, 38, 54, 54},
      {"delete", deleteMark, 54, 54, 82, 82},
      {"failed", failed, 154, 104, 231, 156},
      {"left_arrow", leftArrow, 14, 24, 19, 34},
      {"mark_new", markNew, 76, 76, 114, 114},
      {"new", newBadge, 76, 76, 114, 114},
      {"recommend", star, 56, 56, 84, 84},
      {"remind", remind, 42, 42, 63, 63},
      {"shop", shop, 107, 72, 161, 109},
  };
}

std::vector<Picture> bundlePictures() {
  return {
      {"back", back, 24, 40, 36, 60},
      {"setting", setting, 44, 44, 66, 66},
      {"backspace", backspace, 60, 44, 90, 66},
  };
}

void drawLoadingFrame(cairo_t* cr, double w, double h, int frame, int frames) {
  // Twelve dots on a circle; the bright one moves on one place per frame and
  // the others fade behind it.
  const int dots = 12;
  double radius = std::min(w, h) * 0.3, dot = std::min(w, h) * 0.045;
  for (int i = 0; i < dots; ++i) {
    double age = static_cast<double>((frame - i + dots * frames) % dots) / (dots - 1);
    double t = 1 - age;
    cairo_set_source_rgb(cr, kLoadingLight.r + (kLoadingDark.r - kLoadingLight.r) * t,
                         kLoadingLight.g + (kLoadingDark.g - kLoadingLight.g) * t,
                         kLoadingLight.b + (kLoadingDark.b - kLoadingLight.b) * t);
    double a = -M_PI / 2 + i * 2 * M_PI / dots;
    cairo_arc(cr, w / 2 + radius * std::cos(a), h / 2 + radius * std::sin(a), dot, 0, 2 * M_PI);
    cairo_fill(cr);
  }
}

}  // namespace resgen
