// A multi-line text input on screen, owning a TextView model (see
// TextInputView); the view the platform calls a text view. Posts
// kTextViewTextDidChangeNotification. The text wraps at the view's width
// and scrolls up to keep the caret in sight. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/TextView.h"
#include "vexa/platform/ui/TextInputView.h"

namespace vexa {

inline constexpr char kTextViewTextDidChangeNotification[] = "VXTextViewTextDidChangeNotification";

class TextAreaView : public TextInputView {
 public:
  explicit TextAreaView(Rect frame = {});
  static std::shared_ptr<TextAreaView> create(Rect frame = {}) {
    return std::make_shared<TextAreaView>(frame);
  }

  TextView& textView() { return model_; }
  const TextView& textView() const { return model_; }
  TextInput& input() override { return model_; }
  const TextInput& input() const override { return model_; }

 protected:
  const char* textDidChangeNotificationName() const override {
    return kTextViewTextDidChangeNotification;
  }

 private:
  Telling<TextView> model_{*this};
};

}  // namespace vexa
