// The host's chat screen, as a chat app builds it: a message area and, at
// the bottom, an input bar holding a multi-line text input. The bar moves
// above whatever keyboard the window shows (it follows the keyboard
// notifications and computes its frame after each layout) and grows with
// the text up to four lines (it is the input's delegate).
#pragma once

#include <memory>

#include "vexa/platform/CallbackList.h"
#include "vexa/platform/ui/TextAreaView.h"
#include "vexa/platform/ui/ViewController.h"

namespace vexa::tool::ui {

class ChatViewController : public ViewController {
 public:
  static constexpr double kBarHeight = 50;
  static constexpr double kMaxInputHeight = 96;

  ChatViewController();

  // The message input (identifier "input").
  const std::shared_ptr<TextAreaView>& input() const { return input_; }
  const std::shared_ptr<View>& inputBar() const { return bar_; }

 protected:
  void viewDidLoad() override;
  void viewDidLayoutSubviews() override;

 private:
  void keyboardMoved(Rect frameEnd, double duration);

  std::shared_ptr<View> bar_;
  std::shared_ptr<View> hairline_;
  std::shared_ptr<TextAreaView> input_;
  std::shared_ptr<TextViewDelegate> inputDelegate_;
  double keyboardTop_ = -1;  // window y of the keyboard's top; < 0: none
  Subscription keyboardShows_;
  Subscription keyboardHides_;
};

}  // namespace vexa::tool::ui
