// The stand-in for the platform's system keyboard: a 216-point panel of
// keys that a window shows for a first responder with key input and no
// input view of its own (KeyboardHost).
//
// It types into its client's key input through the model's user-edit path
// (insertText, deleteBackward), so the input's delegate is asked before and
// told after each key, as with a real keyboard. Tools and hosts feed it
// text (typeText, one key press per character) or tap its keys (identifiers
// "key:q" ..., "key:space", "key:backspace", "key:return"). Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/ui/View.h"

namespace vexa {

class Button;

class SystemKeyboard : public View {
 public:
  static constexpr double kHeight = 216;

  explicit SystemKeyboard(Rect frame = {});
  static std::shared_ptr<SystemKeyboard> create(Rect frame = {}) {
    return std::make_shared<SystemKeyboard>(frame);
  }

  // The responder it types into (held weakly).
  std::shared_ptr<View> client() const { return client_.lock(); }
  void setClient(const std::shared_ptr<View>& client) { client_ = client; }

  // One key press per character; a line feed presses return. False when
  // there is no client or a key was refused (the rest is still typed).
  bool typeText(std::string_view text);
  // The backspace key. False when nothing was deleted.
  bool deleteBackward();
  // The return key: a line break in a multi-line input; a single-line
  // input takes nothing. False when nothing was typed.
  bool insertReturn();

  void layoutSubviews() override;

 protected:
  std::string defaultAccessibilityLabel() const override { return "键盘"; }

 private:
  std::shared_ptr<Button> addKey(const std::string& title, const std::string& id,
                                 std::function<void()> press);
  bool pressKey(std::string_view character);

  std::weak_ptr<View> client_;
  std::vector<std::vector<std::shared_ptr<Button>>> letterRows_;
  std::shared_ptr<Button> backspace_;
  std::shared_ptr<Button> space_;
  std::shared_ptr<Button> return_;
};

}  // namespace vexa
