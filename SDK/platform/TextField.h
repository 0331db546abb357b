// A single-line text input (see TextInput).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vexa/platform/TextInput.h"

namespace vexa {

class TextField;

// Every member is optional; the host keeps the struct alive (shared_ptr) and
// the field holds it weakly.
struct TextFieldDelegate {
  std::function<bool(TextField& field, CharacterRange range, const std::string& replacement)>
      shouldChangeCharactersInRange;
  std::function<void(TextField& field)> textFieldDidChange;
};

class TextField : public TextInput {
 public:
  TextField() : TextInput(Kind::Field) {}

  std::shared_ptr<TextFieldDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<TextFieldDelegate>& delegate) { delegate_ = delegate; }

  bool shouldChangeText(CharacterRange range, const std::string& text) override;
  void didChangeText() override;

 private:
  std::weak_ptr<TextFieldDelegate> delegate_;
};

}  // namespace vexa
