#include "vexa/platform/ui/KeyboardHost.h"

#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/ui/KeyboardNotification.h"
#include "vexa/platform/ui/SystemKeyboard.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {

std::shared_ptr<View> KeyboardHost::keyboardView() const {
  // Someone may have taken the keyboard off the window behind our back.
  return shown_ && shown_->superview() == &window_ ? shown_ : nullptr;
}

bool KeyboardHost::isSystemKeyboardShown() const {
  return systemKeyboard_ && keyboardView() == systemKeyboard_;
}

Rect KeyboardHost::keyboardFrame() const {
  auto view = keyboardView();
  return view ? view->frame() : Rect();
}

const std::shared_ptr<SystemKeyboard>& KeyboardHost::systemKeyboard() {
  if (!systemKeyboard_) {
    systemKeyboard_ = SystemKeyboard::create(Rect(0, 0, window_.bounds().width(), SystemKeyboard::kHeight));
  }
  return systemKeyboard_;
}

void KeyboardHost::post(const char* name, Rect begin, Rect end) {
  KeyboardNotification info{begin, end, kAnimationDuration};
  NotificationCenter::defaultCenter().post(name, static_cast<const View*>(&window_), info.userInfo());
}

void KeyboardHost::update() {
  auto responder = window_.firstResponder();
  std::shared_ptr<View> wanted = responder ? responder->inputView() : nullptr;
  if (!wanted && responder && responder->keyInput()) wanted = systemKeyboard();
  if (systemKeyboard_) systemKeyboard_->setClient(wanted == systemKeyboard_ ? responder : nullptr);

  Rect w = window_.bounds();
  auto current = keyboardView();
  if (!wanted) {
    if (!current) return;
    Rect begin = current->frame();
    shown_ = nullptr;
    current->removeFromSuperview();
    post(kKeyboardWillHideNotification, begin, begin.offsetBy(0, w.maxY() - begin.y()));
    return;
  }
  double height = wanted->frame().height() > 0 ? wanted->frame().height() : SystemKeyboard::kHeight;
  Rect end(0, w.maxY() - height, w.width(), height);
  if (wanted == current && current->frame() == end) return;
  Rect begin = current ? current->frame() : Rect(0, w.maxY(), w.width(), height);
  if (current && current != wanted) current->removeFromSuperview();
  shown_ = wanted;
  wanted->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleTopMargin);
  ViewAnimation::animate(kAnimationDuration, [&] { wanted->setFrame(end); });
  window_.addSubview(wanted);
  post(kKeyboardWillShowNotification, begin, end);
}

}  // namespace vexa
