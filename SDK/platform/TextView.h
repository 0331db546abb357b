// A multi-line text input (see TextInput).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vexa/platform/TextInput.h"

namespace vexa {

class TextView;

// Every member is optional; the host keeps the struct alive (shared_ptr) and
// the view holds it weakly.
struct TextViewDelegate {
  std::function<bool(TextView& view, CharacterRange range, const std::string& replacement)>
      shouldChangeTextInRange;
  std::function<void(TextView& view)> textViewDidChange;
};

class TextView : public TextInput {
 public:
  TextView() : TextInput(Kind::View) {}

  std::shared_ptr<TextViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<TextViewDelegate>& delegate) { delegate_ = delegate; }

  bool shouldChangeText(CharacterRange range, const std::string& text) override;
  void didChangeText() override;

 private:
  std::weak_ptr<TextViewDelegate> delegate_;
};

}  // namespace vexa
