// How an image is placed in a view's bounds, and the rectangle it gets.
#pragma once

#include "vexa/platform/Geometry.h"

namespace vexa {

enum class ContentMode {
  ScaleToFill,
  ScaleAspectFit,
  ScaleAspectFill,
  Center,
  Top,
  Bottom,
  Left,
  Right,
  TopLeft,
  TopRight,
  BottomLeft,
  BottomRight,
};

// The rectangle that content of `contentSize` covers in `bounds`; an empty
// content size gives an empty rectangle.
Rect contentRectForMode(ContentMode mode, Size contentSize, const Rect& bounds);

}  // namespace vexa
