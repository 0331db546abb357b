// A button of a navigation bar: a view of the screen's own (for example a
// 27 x 27 button), or an image or a title for which the item makes a button
// that runs the action. An item's image is drawn as a template in the bar's
// tint unless it was marked as an original (Image::withRenderingMode);
// a title is drawn in the bar's tint. Give the view an accessibility
// identifier (`item->view()->setAccessibilityIdentifier("back")`) so tools
// find it. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vexa/platform/Image.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class Button;

class BarButtonItem {
 public:
  using Action = std::function<void()>;

  static std::shared_ptr<BarButtonItem> withCustomView(std::shared_ptr<View> view);
  static std::shared_ptr<BarButtonItem> withImage(std::shared_ptr<const Image> image, Action action);
  static std::shared_ptr<BarButtonItem> withTitle(const std::string& title, Action action);

  // The view the bar places.
  const std::shared_ptr<View>& view() const { return view_; }
  // The button the item made (image and title items), else nullptr.
  const std::shared_ptr<Button>& button() const { return button_; }
  // The size the bar gives the view: its frame's when set, else what fits.
  Size preferredSize() const;

 private:
  BarButtonItem() = default;
  static std::shared_ptr<BarButtonItem> withButton(std::shared_ptr<Button> button, Action action);

  std::shared_ptr<View> view_;
  std::shared_ptr<Button> button_;
};

}  // namespace vexa
