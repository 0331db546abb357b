#include "TargetFinder.h"

#include <functional>

namespace vexa::tool::ui {

namespace {

using Match = std::function<bool(const View&)>;

const VisibleNode* first(const std::vector<const VisibleNode*>& nodes, const Match& match) {
  for (const VisibleNode* node : nodes)
    if (match(*node->view)) return node;
  return nullptr;
}

}  // namespace

Result<Point> TargetFinder::find(View& window, const std::string& text) {
  VisibleNode tree = VisibleTree::of(window);
  auto nodes = VisibleTree::frontToBack(tree);
  const Match passes[] = {
      [&](const View& v) { return v.accessibilityIdentifier() == text; },
      [&](const View& v) { return v.accessibilityLabel() == text; },
      [&](const View& v) { return VisibleTree::isInteractive(v) && VisibleTree::text(v) == text; },
  };
  for (const Match& match : passes) {
    if (const VisibleNode* node = first(nodes, match)) return node->frame.center();
  }
  return Error("VXUiScriptErrorDomain", 2, "nothing on screen matches \"" + text + "\"");
}

std::optional<Point> TargetFinder::withIdentifier(View& window, const std::string& identifier) {
  VisibleNode tree = VisibleTree::of(window);
  const VisibleNode* node = first(VisibleTree::frontToBack(tree),
                                  [&](const View& v) { return v.accessibilityIdentifier() == identifier; });
  if (!node) return std::nullopt;
  return node->frame.center();
}

}  // namespace vexa::tool::ui
