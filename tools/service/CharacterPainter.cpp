#include "service/CharacterPainter.h"

#include <cmath>

namespace vexa::service {

namespace {

constexpr double kPi = 3.14159265358979323846;
const Rgb kInk = Rgb::hex(0x3B2A20);
const Rgb kWhite{1, 1, 1};
const Rgb kPink = Rgb::hex(0xF28FAD);

void stroke(cairo_t* cr, Rgb colour, double width) {
  colour.use(cr);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

void fillOutlined(cairo_t* cr, Rgb fill, double width) {
  fill.use(cr);
  cairo_fill_preserve(cr);
  stroke(cr, fill.mixed(kInk, 0.6), width);
}

void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
}

// Eyes and mouth shared by the characters; the variant picks the mood.
void face(cairo_t* cr, double cx, double cy, double s, int variant, double phase) {
  bool blink = phase > 0.8;
  for (int side : {-1, 1}) {
    double x = cx + side * s * 0.12;
    if (blink || variant % 3 == 1) {
      cairo_arc(cr, x, cy + s * 0.01, s * 0.035, kPi * 1.1, kPi * 1.9);
      stroke(cr, kInk, s * 0.018);
    } else {
      cairo_arc(cr, x, cy, s * 0.03, 0, 2 * kPi);
      kInk.use(cr);
      cairo_fill(cr);
      cairo_arc(cr, x + s * 0.01, cy - s * 0.012, s * 0.01, 0, 2 * kPi);
      kWhite.use(cr);
      cairo_fill(cr);
    }
  }
  for (int side : {-1, 1}) {
    ellipse(cr, cx + side * s * 0.19, cy + s * 0.07, s * 0.04, s * 0.025);
    kPink.use(cr, 0.7);
    cairo_fill(cr);
  }
  double my = cy + s * 0.08;
  switch (variant % 4) {
    case 0:
      cairo_arc(cr, cx, my - s * 0.03, s * 0.05, kPi * 0.15, kPi * 0.85);
      stroke(cr, kInk, s * 0.018);
      break;
    case 1:
      cairo_move_to(cr, cx - s * 0.06, my);
      cairo_arc(cr, cx, my, s * 0.06, 0, kPi);
      cairo_close_path(cr);
      kInk.use(cr);
      cairo_fill(cr);
      break;
    case 2:
      ellipse(cr, cx, my + s * 0.01, s * 0.025, s * 0.03 + s * 0.015 * std::sin(phase * 2 * kPi));
      kInk.use(cr);
      cairo_fill(cr);
      break;
    default:
      cairo_arc(cr, cx, my + s * 0.05, s * 0.045, kPi * 1.2, kPi * 1.8);
      stroke(cr, kInk, s * 0.018);
      break;
  }
}

void cat(cairo_t* cr, double s, Rgb c, int variant, double phase) {
  double tail = std::sin(phase * 2 * kPi) * s * 0.06;
  cairo_move_to(cr, s * 0.7, s * 0.78);
  cairo_curve_to(cr, s * 0.9, s * 0.75, s * 0.88 + tail, s * 0.5, s * 0.8 + tail, s * 0.45);
  stroke(cr, c.mixed(kInk, 0.6), s * 0.07);
  cairo_move_to(cr, s * 0.7, s * 0.78);
  cairo_curve_to(cr, s * 0.9, s * 0.75, s * 0.88 + tail, s * 0.5, s * 0.8 + tail, s * 0.45);
  stroke(cr, c, s * 0.045);
  ellipse(cr, s * 0.5, s * 0.72, s * 0.25, s * 0.17);
  fillOutlined(cr, c, s * 0.02);
  for (int side : {-1, 1}) {
    cairo_move_to(cr, s * 0.5 + side * s * 0.28, s * 0.3);
    cairo_line_to(cr, s * 0.5 + side * s * 0.24, s * 0.1);
    cairo_line_to(cr, s * 0.5 + side * s * 0.1, s * 0.22);
    cairo_close_path(cr);
    fillOutlined(cr, c, s * 0.02);
  }
  ellipse(cr, s * 0.5, s * 0.38, s * 0.3, s * 0.23);
  fillOutlined(cr, c, s * 0.02);
  for (int side : {-1, 1}) {
    for (int k = 0; k < 2; ++k) {
      cairo_move_to(cr, s * 0.5 + side * s * 0.2, s * (0.44 + k * 0.04));
      cairo_line_to(cr, s * 0.5 + side * s * 0.34, s * (0.42 + k * 0.07));
      stroke(cr, kInk, s * 0.008);
    }
  }
  face(cr, s * 0.5, s * 0.36, s, variant, phase);
}

void blob(cairo_t* cr, double s, Rgb c, int variant, double phase) {
  const int steps = 48;
  for (int i = 0; i <= steps; ++i) {
    double a = i * 2 * kPi / steps;
    double wobble = 1 + 0.04 * std::sin(a * 3 + phase * 2 * kPi) + 0.03 * std::sin(a * 5 - phase * 4 * kPi);
    double x = s * 0.5 + s * 0.36 * wobble * std::cos(a);
    double y = s * 0.55 + s * 0.32 * wobble * std::sin(a);
    (i ? cairo_line_to : cairo_move_to)(cr, x, y);
  }
  cairo_close_path(cr);
  fillOutlined(cr, c, s * 0.02);
  ellipse(cr, s * 0.38, s * 0.38, s * 0.08, s * 0.05);
  kWhite.use(cr, 0.5);
  cairo_fill(cr);
  face(cr, s * 0.5, s * 0.52, s, variant, phase);
}

void robot(cairo_t* cr, double s, Rgb c, int variant, double phase) {
  cairo_move_to(cr, s * 0.5, s * 0.22);
  cairo_line_to(cr, s * 0.5, s * 0.1);
  stroke(cr, kInk, s * 0.02);
  cairo_arc(cr, s * 0.5, s * 0.09, s * 0.035, 0, 2 * kPi);
  (phase < 0.5 ? Rgb::hex(0xFF5A5F) : Rgb::hex(0xFFE066)).use(cr);
  cairo_fill(cr);
  cairo_rectangle(cr, s * 0.28, s * 0.62, s * 0.44, s * 0.28);
  fillOutlined(cr, c.mixed(kWhite, 0.3), s * 0.02);
  double arm = std::sin(phase * 2 * kPi) * s * 0.08;
  for (int side : {-1, 1}) {
    cairo_move_to(cr, s * 0.5 + side * s * 0.22, s * 0.7);
    cairo_line_to(cr, s * 0.5 + side * s * 0.36, s * 0.6 - (side > 0 ? arm : 0));
    stroke(cr, kInk, s * 0.03);
  }
  const double x = s * 0.22, y = s * 0.2, w = s * 0.56, h = s * 0.42, r = s * 0.08;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
  fillOutlined(cr, c, s * 0.02);
  cairo_rectangle(cr, s * 0.29, s * 0.27, s * 0.42, s * 0.28);
  Rgb::hex(0x22313F).use(cr);
  cairo_fill(cr);
  for (int side : {-1, 1}) {
    cairo_rectangle(cr, s * 0.5 + side * s * 0.1 - s * 0.03, s * 0.34, s * 0.06,
                    phase > 0.8 ? s * 0.015 : s * 0.06);
    Rgb::hex(0x7CF0FF).use(cr);
    cairo_fill(cr);
  }
  cairo_move_to(cr, s * 0.42, s * 0.47);
  cairo_line_to(cr, s * 0.58, s * 0.47 - (variant % 2 ? s * 0.02 : 0));
  stroke(cr, Rgb::hex(0x7CF0FF), s * 0.02);
}

void cloud(cairo_t* cr, double cx, double cy, double s, Rgb c) {
  cairo_new_path(cr);
  cairo_arc(cr, cx - s * 0.15, cy, s * 0.13, 0, 2 * kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx + s * 0.02, cy - s * 0.07, s * 0.17, 0, 2 * kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx + s * 0.18, cy + s * 0.01, s * 0.12, 0, 2 * kPi);
  c.use(cr);
  cairo_fill(cr);
}

void weather(cairo_t* cr, double s, Rgb c, int variant, double phase) {
  switch (variant % 6) {
    case 0: {  // sun with turning rays
      cairo_save(cr);
      cairo_translate(cr, s * 0.5, s * 0.45);
      cairo_rotate(cr, phase * kPi / 4);
      for (int i = 0; i < 10; ++i) {
        cairo_rotate(cr, 2 * kPi / 10);
        cairo_move_to(cr, s * 0.26, 0);
        cairo_line_to(cr, s * 0.38, 0);
      }
      stroke(cr, Rgb::hex(0xFFA62B), s * 0.04);
      cairo_restore(cr);
      cairo_arc(cr, s * 0.5, s * 0.45, s * 0.22, 0, 2 * kPi);
      fillOutlined(cr, Rgb::hex(0xFFD23F), s * 0.02);
      face(cr, s * 0.5, s * 0.43, s, 0, phase);
      break;
    }
    case 1:
    case 5: {  // rain, or a storm with lightning
      for (int i = 0; i < 5; ++i) {
        double x = s * (0.3 + i * 0.1);
        double y = s * 0.55 + std::fmod(phase + i * 0.37, 1.0) * s * 0.3;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x - s * 0.02, y + s * 0.06);
        stroke(cr, Rgb::hex(0x4FA3E8), s * 0.02);
      }
      bool flash = variant % 6 == 5 && phase >= 0.25 && phase < 0.5;
      if (flash) {
        cairo_move_to(cr, s * 0.52, s * 0.5);
        cairo_line_to(cr, s * 0.44, s * 0.68);
        cairo_line_to(cr, s * 0.52, s * 0.68);
        cairo_line_to(cr, s * 0.46, s * 0.86);
        stroke(cr, Rgb::hex(0xFFD23F), s * 0.03);
      }
      cloud(cr, s * 0.5, s * 0.4, s * 1.4, variant % 6 == 5 ? Rgb::hex(0x8796A8) : c);
      face(cr, s * 0.5, s * 0.4, s, variant % 6 == 5 ? 3 : 2, phase);
      break;
    }
    case 2: {  // snow
      for (int i = 0; i < 7; ++i) {
        double x = s * (0.15 + i * 0.11) + std::sin(phase * 2 * kPi + i) * s * 0.02;
        double y = s * 0.15 + std::fmod(phase + i * 0.29, 1.0) * s * 0.75;
        cairo_arc(cr, x, y, s * 0.022, 0, 2 * kPi);
        kWhite.use(cr);
        cairo_fill_preserve(cr);
        stroke(cr, Rgb::hex(0x9CC9F0), s * 0.008);
      }
      ellipse(cr, s * 0.5, s * 0.7, s * 0.16, s * 0.14);
      fillOutlined(cr, kWhite, s * 0.015);
      cairo_arc(cr, s * 0.5, s * 0.45, s * 0.12, 0, 2 * kPi);
      fillOutlined(cr, kWhite, s * 0.015);
      face(cr, s * 0.5, s * 0.44, s * 0.7, 0, phase);
      break;
    }
    case 3: {  // rainbow drawn band by band
      const uint32_t bands[] = {0xE8384F, 0xFF9F1C, 0xFFD23F, 0x3BB273, 0x4FA3E8, 0x7768AE};
      int shown = 1 + static_cast<int>(phase * 6) % 6;
      for (int i = 0; i < shown; ++i) {
        cairo_new_path(cr);
        cairo_arc(cr, s * 0.5, s * 0.75, s * (0.4 - i * 0.045), kPi, 2 * kPi);
        stroke(cr, Rgb::hex(bands[i]), s * 0.045);
      }
      cloud(cr, s * 0.2, s * 0.75, s * 0.6, kWhite);
      cloud(cr, s * 0.8, s * 0.75, s * 0.6, kWhite);
      break;
    }
    default: {  // wind
      for (int i = 0; i < 3; ++i) {
        double shift = std::fmod(phase + i * 0.3, 1.0) * s * 0.2;
        double y = s * (0.35 + i * 0.15);
        cairo_move_to(cr, s * 0.1 + shift, y);
        cairo_curve_to(cr, s * 0.4 + shift, y - s * 0.05, s * 0.6 + shift, y + s * 0.05, s * 0.75 + shift, y);
        cairo_arc(cr, s * 0.75 + shift, y - s * 0.04, s * 0.04, kPi / 2, kPi * 2);
        stroke(cr, c.mixed(kInk, 0.3), s * 0.025);
      }
      break;
    }
  }
}

}  // namespace

void CharacterPainter::paint(cairo_t* cr, double size, const CharacterStyle& style, int variant, double phase) {
  cairo_save(cr);
  double angle = 2 * kPi * phase;
  switch (variant % 4) {
    case 0:  // hop
      cairo_translate(cr, 0, -std::abs(std::sin(angle)) * size * 0.08);
      break;
    case 1: {  // sway around the feet
      cairo_translate(cr, size / 2, size * 0.9);
      cairo_rotate(cr, std::sin(angle) * 0.12);
      cairo_translate(cr, -size / 2, -size * 0.9);
      break;
    }
    case 2: {  // breathe
      double k = 1 + 0.05 * std::sin(angle);
      cairo_translate(cr, size / 2, size * 0.9);
      cairo_scale(cr, 1 / k, k);
      cairo_translate(cr, -size / 2, -size * 0.9);
      break;
    }
    default:  // shiver
      cairo_translate(cr, std::sin(angle * 3) * size * 0.02, 0);
      break;
  }
  switch (style.kind) {
    case CharacterStyle::Kind::Cat:
      cat(cr, size, style.colour, variant, phase);
      break;
    case CharacterStyle::Kind::Blob:
      blob(cr, size, style.colour, variant, phase);
      break;
    case CharacterStyle::Kind::Robot:
      robot(cr, size, style.colour, variant, phase);
      break;
    case CharacterStyle::Kind::Weather:
      weather(cr, size, style.colour, variant, phase);
      break;
  }
  cairo_restore(cr);
}

}  // namespace vexa::service
