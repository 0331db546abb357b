#include "VisibleTree.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/CollectionViewCell.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/TableViewCell.h"
#include "vexa/platform/ui/TextInputView.h"
#include "vexa/text/QLTextImageHelper.h"

namespace vexa::tool::ui {

namespace {

// Views lighter than this take no touches and show nothing worth reading.
constexpr double kMinimumAlpha = 0.01;

std::optional<VisibleNode> visit(View& view, const Rect& clip) {
  if (view.isHidden() || view.alpha() < kMinimumAlpha) return std::nullopt;
  VisibleNode node{view.shared_from_this(), view.convertRectToView(view.bounds(), nullptr), {}};
  Rect inner = view.clipsToBounds() ? clip.intersection(node.frame) : clip;
  for (const auto& child : view.subviews()) {
    if (auto visible = visit(*child, inner)) node.children.push_back(std::move(*visible));
  }
  if (!node.frame.intersects(clip) && node.children.empty()) return std::nullopt;
  return node;
}

void collect(const VisibleNode& node, std::vector<const VisibleNode*>& out) {
  out.push_back(&node);
  for (const auto& child : node.children) collect(child, out);
}

}  // namespace

VisibleNode VisibleTree::of(View& root) {
  auto node = visit(root, root.bounds());
  return node ? std::move(*node) : VisibleNode{root.shared_from_this(), root.bounds(), {}};
}

std::vector<const VisibleNode*> VisibleTree::frontToBack(const VisibleNode& root) {
  std::vector<const VisibleNode*> drawingOrder;
  collect(root, drawingOrder);
  return {drawingOrder.rbegin(), drawingOrder.rend()};
}

std::string VisibleTree::className(const View& view) {
  const char* mangled = typeid(view).name();
  int status = 0;
  char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && demangled ? demangled : mangled;
  std::free(demangled);
  // The last name outside template arguments.
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '<') ++depth;
    if (name[i] == '>') --depth;
    if (depth == 0 && name.compare(i, 2, "::") == 0) start = i + 2;
  }
  return name.substr(start);
}

std::string VisibleTree::text(const View& view) {
  if (const auto* label = dynamic_cast<const Label*>(&view)) return label->text();
  if (const auto* button = dynamic_cast<const Button*>(&view)) return button->currentTitle();
  if (const auto* input = dynamic_cast<const TextInputView*>(&view))
    return QLTextImageHelper::pureTextFromAttributeText(input->input().attributedText());
  return {};
}

bool VisibleTree::isSelected(const View& view) {
  if (const auto* control = dynamic_cast<const Control*>(&view)) return control->isSelected();
  if (const auto* cell = dynamic_cast<const CollectionViewCell*>(&view)) return cell->isSelected();
  if (const auto* row = dynamic_cast<const TableViewCell*>(&view)) return row->isSelected();
  return false;
}

bool VisibleTree::isEnabled(const View& view) {
  if (const auto* control = dynamic_cast<const Control*>(&view)) return control->isEnabled();
  return true;
}

bool VisibleTree::isInteractive(const View& view) {
  for (const View* v = &view; v; v = v->superview())
    if (!v->isUserInteractionEnabled()) return false;
  return true;
}

}  // namespace vexa::tool::ui
