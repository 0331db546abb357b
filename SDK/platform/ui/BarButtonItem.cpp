#include "vexa/platform/ui/BarButtonItem.h"

#include "vexa/platform/ui/Button.h"

namespace vexa {

namespace {
// Room around a title so that it is easy to hit.
constexpr double kTitlePadding = 8;
constexpr double kMinimumSide = 27;
}  // namespace

std::shared_ptr<BarButtonItem> BarButtonItem::withCustomView(std::shared_ptr<View> view) {
  std::shared_ptr<BarButtonItem> item(new BarButtonItem());
  item->view_ = std::move(view);
  return item;
}

std::shared_ptr<BarButtonItem> BarButtonItem::withButton(std::shared_ptr<Button> button,
                                                         Action action) {
  std::shared_ptr<BarButtonItem> item(new BarButtonItem());
  if (action) button->addAction(ControlEventTouchUpInside, [action](Control&) { action(); });
  item->button_ = button;
  item->view_ = std::move(button);
  return item;
}

std::shared_ptr<BarButtonItem> BarButtonItem::withImage(std::shared_ptr<const Image> image,
                                                        Action action) {
  if (image && image->renderingMode() == ImageRenderingMode::Automatic)
    image = image->withRenderingMode(ImageRenderingMode::AlwaysTemplate);
  auto button = Button::create();
  button->setImage(std::move(image));
  return withButton(std::move(button), std::move(action));
}

std::shared_ptr<BarButtonItem> BarButtonItem::withTitle(const std::string& title, Action action) {
  auto button = Button::create();
  button->setTitle(title);
  button->setTitleColorFollowsTint(true);
  return withButton(std::move(button), std::move(action));
}

Size BarButtonItem::preferredSize() const {
  if (!view_) return {};
  Size s = view_->frame().size;
  if (s.width > 0 && s.height > 0) return s;
  s = view_->sizeThatFits(Size{});
  if (button_ && !button_->currentTitle().empty()) s.width += 2 * kTitlePadding;
  return Size{std::max(s.width, kMinimumSide), std::max(s.height, kMinimumSide)};
}

}  // namespace vexa
