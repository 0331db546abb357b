// The application as the SDK sees it: the key window, and from it the
// controller on top of everything (the one to present new screens from).
// A process-wide singleton like the platform's own. Main thread only.
#pragma once

#include <memory>

namespace vexa {

class Window;
class ViewController;

class Application {
 public:
  static Application& shared();

  std::shared_ptr<Window> keyWindow() const { return keyWindow_.lock(); }
  void setKeyWindow(const std::shared_ptr<Window>& window) { keyWindow_ = window; }

  // From the key window's root controller: follow presented controllers,
  // then the top of navigation stacks. nullptr without a key window.
  std::shared_ptr<ViewController> topViewController() const;

 private:
  Application() = default;
  std::weak_ptr<Window> keyWindow_;
};

}  // namespace vexa
