// What a user sees of a window, read for the driver: the visible views
// (not hidden, not transparent, inside the window and their clipping
// ancestors, or holding such views) with their frames in window points,
// and the facts a tool reports of each view.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/ui/View.h"

namespace vexa::tool::ui {

struct VisibleNode {
  std::shared_ptr<View> view;
  Rect frame;  // window points
  std::vector<VisibleNode> children;
};

class VisibleTree {
 public:
  // The visible part of the tree under `root` (a window), in drawing order.
  static VisibleNode of(View& root);
  // Every node of the tree, front-most first.
  static std::vector<const VisibleNode*> frontToBack(const VisibleNode& root);

  // The view's class without namespaces ("Button", "TextAreaView").
  static std::string className(const View& view);
  // The text the view shows: a label's text, a button's title, an input's
  // text with each inline emoji as its bracketed code; else "".
  static std::string text(const View& view);
  static bool isSelected(const View& view);
  static bool isEnabled(const View& view);
  // Touches reach the view: it and all its ancestors take them.
  static bool isInteractive(const View& view);
};

}  // namespace vexa::tool::ui
