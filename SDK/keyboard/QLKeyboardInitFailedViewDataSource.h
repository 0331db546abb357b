// What the keyboard's failure panel asks of its owner: run the retry.
//
// The owner keeps the struct alive (std::shared_ptr); the panel holds it
// weakly and calls refreshData (when set) on the main thread, at most once
// until the panel's refreshSuccess is set back to false.
#pragma once

#include <functional>

namespace vexa {

struct QLKeyboardInitFailedViewDataSource {
  virtual ~QLKeyboardInitFailedViewDataSource() = default;
  // The user tapped "点击刷新".
  std::function<void()> refreshData;
};

}  // namespace vexa
