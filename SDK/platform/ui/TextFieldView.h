// A single-line text input on screen, owning a TextField model (see
// TextInputView). Posts kTextFieldTextDidChangeNotification. The text is
// centred vertically and scrolls sideways to keep the caret in sight.
// Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/TextField.h"
#include "vexa/platform/ui/TextInputView.h"

namespace vexa {

inline constexpr char kTextFieldTextDidChangeNotification[] = "VXTextFieldTextDidChangeNotification";

class TextFieldView : public TextInputView {
 public:
  explicit TextFieldView(Rect frame = {});
  static std::shared_ptr<TextFieldView> create(Rect frame = {}) {
    return std::make_shared<TextFieldView>(frame);
  }

  TextField& textField() { return model_; }
  const TextField& textField() const { return model_; }
  TextInput& input() override { return model_; }
  const TextInput& input() const override { return model_; }

 protected:
  const char* textDidChangeNotificationName() const override {
    return kTextFieldTextDidChangeNotification;
  }

 private:
  Telling<TextField> model_{*this};
};

}  // namespace vexa
