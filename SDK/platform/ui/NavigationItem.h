// What a navigation bar shows for one view controller: a title and the bar
// button items on its left and right. A bar showing the item follows its
// changes (a screen may swap its right item while shown). There is no
// automatic back button: a screen that can go back sets its left item.
// Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vexa/platform/CallbackList.h"
#include "vexa/platform/ui/BarButtonItem.h"

namespace vexa {

class NavigationItem {
 public:
  const std::string& title() const { return title_; }
  void setTitle(std::string title);
  const std::shared_ptr<BarButtonItem>& leftBarButtonItem() const { return left_; }
  void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item);
  const std::shared_ptr<BarButtonItem>& rightBarButtonItem() const { return right_; }
  void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item);

  // Called after each change; for the bar that shows the item.
  [[nodiscard]] Subscription observeChanges(std::function<void()> changed) {
    return changes_.add(std::move(changed));
  }

 private:
  std::string title_;
  std::shared_ptr<BarButtonItem> left_;
  std::shared_ptr<BarButtonItem> right_;
  CallbackList<> changes_;
};

}  // namespace vexa
