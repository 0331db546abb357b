#include "service/FacePainter.h"

#include <cmath>

namespace vexa::service {

namespace {

constexpr double kPi = 3.14159265358979323846;
const Rgb kInk = Rgb::hex(0x4A2C12);
const Rgb kRed = Rgb::hex(0xE8384F);
const Rgb kWhite{1, 1, 1};
const Rgb kBlue = Rgb::hex(0x4FA3E8);

void strokeWith(cairo_t* cr, Rgb colour, double width) {
  colour.use(cr);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

void fillAndOutline(cairo_t* cr, Rgb fill, double width) {
  fill.use(cr);
  cairo_fill_preserve(cr);
  strokeWith(cr, fill.mixed(kInk, 0.55), width);
}

void heartPath(cairo_t* cr, double cx, double cy, double s) {
  cairo_move_to(cr, cx, cy + s * 0.35);
  cairo_curve_to(cr, cx - s * 0.55, cy - s * 0.05, cx - s * 0.3, cy - s * 0.5, cx, cy - s * 0.2);
  cairo_curve_to(cr, cx + s * 0.3, cy - s * 0.5, cx + s * 0.55, cy - s * 0.05, cx, cy + s * 0.35);
  cairo_close_path(cr);
}

void starPath(cairo_t* cr, double cx, double cy, double outer, double inner, int points) {
  for (int i = 0; i < points * 2; ++i) {
    double r = i % 2 ? inner : outer;
    double a = -kPi / 2 + i * kPi / points;
    (i ? cairo_line_to : cairo_move_to)(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
}

void eye(cairo_t* cr, FaceStyle::Eyes eyes, double x, double y, double s, bool left) {
  using E = FaceStyle::Eyes;
  switch (eyes) {
    case E::Dots:
      cairo_arc(cr, x, y, s * 0.055, 0, 2 * kPi);
      kInk.use(cr);
      cairo_fill(cr);
      break;
    case E::Wide:
      cairo_arc(cr, x, y, s * 0.09, 0, 2 * kPi);
      kWhite.use(cr);
      cairo_fill_preserve(cr);
      strokeWith(cr, kInk, s * 0.02);
      cairo_arc(cr, x, y, s * 0.04, 0, 2 * kPi);
      kInk.use(cr);
      cairo_fill(cr);
      break;
    case E::Happy:
      cairo_arc(cr, x, y + s * 0.03, s * 0.07, kPi * 1.1, kPi * 1.9);
      strokeWith(cr, kInk, s * 0.035);
      break;
    case E::Wink:
      if (left) {
        eye(cr, E::Dots, x, y, s, left);
      } else {
        eye(cr, E::Closed, x, y, s, left);
      }
      break;
    case E::Closed:
      cairo_move_to(cr, x - s * 0.07, y);
      cairo_line_to(cr, x + s * 0.07, y);
      strokeWith(cr, kInk, s * 0.035);
      break;
    case E::Hearts:
      heartPath(cr, x, y, s * 0.22);
      kRed.use(cr);
      cairo_fill(cr);
      break;
    case E::Crosses:
      cairo_move_to(cr, x - s * 0.05, y - s * 0.05);
      cairo_line_to(cr, x + s * 0.05, y + s * 0.05);
      cairo_move_to(cr, x + s * 0.05, y - s * 0.05);
      cairo_line_to(cr, x - s * 0.05, y + s * 0.05);
      strokeWith(cr, kInk, s * 0.03);
      break;
    case E::Shades:
      cairo_rectangle(cr, x - s * 0.11, y - s * 0.06, s * 0.22, s * 0.12);
      kInk.use(cr);
      cairo_fill(cr);
      break;
  }
}

void mouth(cairo_t* cr, FaceStyle::Mouth m, double cx, double cy, double s) {
  using M = FaceStyle::Mouth;
  switch (m) {
    case M::Smile:
      cairo_arc(cr, cx, cy - s * 0.08, s * 0.2, kPi * 0.2, kPi * 0.8);
      strokeWith(cr, kInk, s * 0.035);
      break;
    case M::Grin:
    case M::Tongue:
      cairo_move_to(cr, cx - s * 0.2, cy - s * 0.02);
      cairo_arc(cr, cx, cy - s * 0.02, s * 0.2, 0, kPi);
      cairo_close_path(cr);
      kInk.use(cr);
      cairo_fill(cr);
      if (m == M::Tongue) {
        cairo_arc(cr, cx + s * 0.05, cy + s * 0.12, s * 0.07, 0, 2 * kPi);
        kRed.use(cr);
        cairo_fill(cr);
      }
      break;
    case M::Frown:
      cairo_arc(cr, cx, cy + s * 0.16, s * 0.16, kPi * 1.2, kPi * 1.8);
      strokeWith(cr, kInk, s * 0.035);
      break;
    case M::Open:
      cairo_save(cr);
      cairo_translate(cr, cx, cy + s * 0.04);
      cairo_scale(cr, 1, 1.3);
      cairo_arc(cr, 0, 0, s * 0.08, 0, 2 * kPi);
      cairo_restore(cr);
      kInk.use(cr);
      cairo_fill(cr);
      break;
    case M::Flat:
      cairo_move_to(cr, cx - s * 0.13, cy + s * 0.05);
      cairo_line_to(cr, cx + s * 0.13, cy + s * 0.05);
      strokeWith(cr, kInk, s * 0.035);
      break;
    case M::Kiss:
      heartPath(cr, cx + s * 0.02, cy + s * 0.05, s * 0.18);
      kRed.use(cr);
      cairo_fill(cr);
      break;
    case M::Wavy:
      cairo_move_to(cr, cx - s * 0.16, cy + s * 0.05);
      cairo_curve_to(cr, cx - s * 0.08, cy - s * 0.02, cx - s * 0.04, cy + s * 0.12, cx, cy + s * 0.05);
      cairo_curve_to(cr, cx + s * 0.04, cy - s * 0.02, cx + s * 0.08, cy + s * 0.12, cx + s * 0.16, cy + s * 0.05);
      strokeWith(cr, kInk, s * 0.03);
      break;
  }
}

void extra(cairo_t* cr, FaceStyle::Extra e, double s, bool blink) {
  using X = FaceStyle::Extra;
  switch (e) {
    case X::None:
      break;
    case X::Tear: {
      double drop = blink ? s * 0.08 : 0;
      cairo_move_to(cr, s * 0.3, s * 0.5 + drop);
      cairo_curve_to(cr, s * 0.24, s * 0.62 + drop, s * 0.36, s * 0.62 + drop, s * 0.3, s * 0.5 + drop);
      cairo_arc(cr, s * 0.3, s * 0.6 + drop, s * 0.045, 0, 2 * kPi);
      kBlue.use(cr);
      cairo_fill(cr);
      break;
    }
    case X::Sweat:
      cairo_arc(cr, s * 0.78, s * 0.3, s * 0.06, 0, 2 * kPi);
      kBlue.use(cr);
      cairo_fill(cr);
      break;
    case X::Blush:
      for (double x : {0.27, 0.73}) {
        cairo_arc(cr, s * x, s * 0.6, s * 0.07, 0, 2 * kPi);
        kRed.use(cr, 0.35);
        cairo_fill(cr);
      }
      break;
    case X::Zzz:
      for (int i = 0; i < 2; ++i) {
        double x = s * (0.68 + i * 0.1), y = s * (0.24 - i * 0.1) - (blink ? s * 0.04 : 0), z = s * 0.07;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + z, y);
        cairo_line_to(cr, x, y + z);
        cairo_line_to(cr, x + z, y + z);
        strokeWith(cr, kBlue, s * 0.025);
      }
      break;
    case X::Anger:
      cairo_move_to(cr, s * 0.7, s * 0.16);
      cairo_line_to(cr, s * 0.78, s * 0.24);
      cairo_move_to(cr, s * 0.86, s * 0.16);
      cairo_line_to(cr, s * 0.78, s * 0.24);
      strokeWith(cr, kRed, s * 0.04);
      break;
    case X::Question:
      cairo_arc(cr, s * 0.8, s * 0.2, s * 0.06, kPi, kPi * 2.4);
      cairo_line_to(cr, s * 0.8, s * 0.32);
      strokeWith(cr, kInk, s * 0.03);
      cairo_arc(cr, s * 0.8, s * 0.38, s * 0.018, 0, 2 * kPi);
      kInk.use(cr);
      cairo_fill(cr);
      break;
  }
}

void face(cairo_t* cr, double s, const FaceStyle& style, bool blink) {
  cairo_arc(cr, s / 2, s / 2, s * 0.42, 0, 2 * kPi);
  fillAndOutline(cr, style.colour, s * 0.03);
  FaceStyle::Eyes eyes = blink && style.eyes != FaceStyle::Eyes::Shades ? FaceStyle::Eyes::Closed : style.eyes;
  eye(cr, eyes, s * 0.36, s * 0.42, s, true);
  eye(cr, eyes, s * 0.64, s * 0.42, s, false);
  mouth(cr, style.mouth, s / 2, s * 0.66, s);
  extra(cr, style.extra, s, blink);
}

void symbol(cairo_t* cr, double s, const FaceStyle& style) {
  using K = FaceStyle::Kind;
  double c = s / 2, w = s * 0.03;
  switch (style.kind) {
    case K::Face:
      break;
    case K::Heart:
    case K::BrokenHeart:
      heartPath(cr, c, c + s * 0.05, s * 0.9);
      fillAndOutline(cr, style.colour, w);
      if (style.kind == K::BrokenHeart) {
        cairo_move_to(cr, c, s * 0.3);
        cairo_line_to(cr, c - s * 0.06, s * 0.45);
        cairo_line_to(cr, c + s * 0.05, s * 0.55);
        cairo_line_to(cr, c - s * 0.02, s * 0.72);
        strokeWith(cr, kWhite, w * 1.5);
      }
      break;
    case K::Star:
      starPath(cr, c, c, s * 0.44, s * 0.2, 5);
      fillAndOutline(cr, style.colour, w);
      break;
    case K::Sun:
      starPath(cr, c, c, s * 0.46, s * 0.3, 12);
      fillAndOutline(cr, style.colour.mixed(kRed, 0.3), w);
      cairo_arc(cr, c, c, s * 0.26, 0, 2 * kPi);
      fillAndOutline(cr, style.colour, w);
      break;
    case K::Moon:
      cairo_save(cr);
      cairo_arc(cr, c, c, s * 0.38, 0, 2 * kPi);
      cairo_new_sub_path(cr);
      cairo_arc(cr, c + s * 0.16, c - s * 0.1, s * 0.3, 0, 2 * kPi);
      cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
      style.colour.use(cr);
      cairo_fill(cr);
      cairo_restore(cr);
      break;
    case K::Flower:
      for (int i = 0; i < 6; ++i) {
        double a = i * kPi / 3;
        cairo_arc(cr, c + s * 0.2 * std::cos(a), c + s * 0.2 * std::sin(a), s * 0.15, 0, 2 * kPi);
        fillAndOutline(cr, style.colour, w);
      }
      cairo_arc(cr, c, c, s * 0.12, 0, 2 * kPi);
      fillAndOutline(cr, Rgb::hex(0xFFD23F), w);
      break;
    case K::Gift:
      cairo_rectangle(cr, s * 0.18, s * 0.38, s * 0.64, s * 0.48);
      fillAndOutline(cr, style.colour, w);
      cairo_rectangle(cr, s * 0.14, s * 0.28, s * 0.72, s * 0.12);
      fillAndOutline(cr, style.colour, w);
      cairo_rectangle(cr, s * 0.45, s * 0.28, s * 0.1, s * 0.58);
      Rgb::hex(0xFFD23F).use(cr);
      cairo_fill(cr);
      break;
    case K::Cake:
      cairo_rectangle(cr, s * 0.2, s * 0.45, s * 0.6, s * 0.38);
      fillAndOutline(cr, style.colour, w);
      cairo_rectangle(cr, s * 0.47, s * 0.25, s * 0.06, s * 0.2);
      fillAndOutline(cr, kWhite, w);
      cairo_arc(cr, c, s * 0.2, s * 0.05, 0, 2 * kPi);
      Rgb::hex(0xFF9F1C).use(cr);
      cairo_fill(cr);
      break;
    case K::Cup:
      cairo_rectangle(cr, s * 0.22, s * 0.35, s * 0.44, s * 0.45);
      fillAndOutline(cr, style.colour, w);
      cairo_arc(cr, s * 0.7, s * 0.55, s * 0.1, -kPi / 2, kPi / 2);
      strokeWith(cr, style.colour.mixed(kInk, 0.55), w * 1.5);
      for (double x : {0.36, 0.5}) {
        cairo_move_to(cr, s * x, s * 0.3);
        cairo_curve_to(cr, s * (x - 0.04), s * 0.24, s * (x + 0.04), s * 0.2, s * x, s * 0.14);
        strokeWith(cr, Rgb::hex(0x999999), w);
      }
      break;
    case K::Thumb:
      cairo_rectangle(cr, s * 0.2, s * 0.45, s * 0.14, s * 0.38);
      fillAndOutline(cr, style.colour.mixed(kInk, 0.3), w);
      cairo_move_to(cr, s * 0.38, s * 0.45);
      cairo_line_to(cr, s * 0.5, s * 0.14);
      cairo_curve_to(cr, s * 0.6, s * 0.14, s * 0.62, s * 0.3, s * 0.58, s * 0.4);
      cairo_line_to(cr, s * 0.78, s * 0.42);
      cairo_curve_to(cr, s * 0.86, s * 0.44, s * 0.84, s * 0.84, s * 0.72, s * 0.83);
      cairo_line_to(cr, s * 0.38, s * 0.83);
      cairo_close_path(cr);
      fillAndOutline(cr, style.colour, w);
      break;
    case K::Clap:
      for (int side : {-1, 1}) {
        cairo_save(cr);
        cairo_translate(cr, c + side * s * 0.1, c + s * 0.05);
        cairo_rotate(cr, side * 0.35);
        cairo_scale(cr, 0.6, 1);
        cairo_arc(cr, 0, 0, s * 0.3, 0, 2 * kPi);
        cairo_restore(cr);
        fillAndOutline(cr, style.colour, w);
      }
      break;
  }
}

}  // namespace

void FacePainter::paint(cairo_t* cr, double size, const FaceStyle& style, bool blink) {
  cairo_save(cr);
  if (style.kind == FaceStyle::Kind::Face) {
    face(cr, size, style, blink);
  } else {
    if (blink) {
      cairo_translate(cr, size * 0.05, size * 0.05);
      cairo_scale(cr, 0.9, 0.9);
    }
    symbol(cr, size, style);
  }
  cairo_restore(cr);
}

}  // namespace vexa::service
