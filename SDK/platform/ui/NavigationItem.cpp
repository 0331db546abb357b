#include "vexa/platform/ui/NavigationItem.h"

namespace vexa {

void NavigationItem::setTitle(std::string title) {
  title_ = std::move(title);
  changes_.notify();
}

void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item) {
  left_ = std::move(item);
  changes_.notify();
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item) {
  right_ = std::move(item);
  changes_.notify();
}

}  // namespace vexa
