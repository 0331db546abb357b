// The "加载中..." HUD of a screen: shown over the screen's navigation stack
// (or over the screen itself outside one), at most once at a time, and
// hidden where it was shown even when the screen has left the stack since.
// Main thread only.
#pragma once

#include <memory>

namespace vexa {

class QLProgressHUD;
class ViewController;

class QLScreenHUD {
 public:
  // Shows the HUD unless this one already shows it.
  void show(ViewController& screen);
  void hide();
  bool isShown() const { return !hud_.expired(); }

 private:
  std::weak_ptr<QLProgressHUD> hud_;
};

}  // namespace vexa
