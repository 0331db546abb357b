#include "ChatViewController.h"

#include <algorithm>

#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/KeyboardNotification.h"
#include "vexa/platform/ui/ViewAnimation.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa::tool::ui {

ChatViewController::ChatViewController() {
  setTitle("聊天");
  // Back to the chat list, which this host does not have: a tinted picture only.
  auto chats = BarButtonItem::withImage(QLEmotionGlobal::sharedInstance().sdkUIimageWithName("back"), nullptr);
  chats->view()->setAccessibilityIdentifier("chats");
  chats->view()->setAccessibilityLabel("聊天列表");
  navigationItem()->setLeftBarButtonItem(chats);
  input_ = TextAreaView::create();
  input_->setAccessibilityIdentifier("input");
  input_->setAccessibilityLabel("输入消息");
  input_->textView().setFont(Font::systemFont(16));
  // Typing and the SDK's inline insertions both tell the delegate.
  inputDelegate_ = std::make_shared<TextViewDelegate>();
  inputDelegate_->textViewDidChange = [this](TextView&) {
    if (isViewLoaded()) view()->setNeedsLayout();
  };
  input_->textView().setDelegate(inputDelegate_);
}

void ChatViewController::viewDidLoad() {
  view()->setBackgroundColor(Color::rgb255(237, 237, 237));
  bar_ = View::create();
  bar_->setBackgroundColor(Color::rgb255(247, 247, 247));
  hairline_ = View::create();
  hairline_->setBackgroundColor(Color::rgb255(214, 214, 214));
  input_->setBackgroundColor(Color::whiteColor());
  input_->setCornerRadius(5);
  input_->setBorderWidth(Screen::main().hairline());
  input_->setBorderColor(Color::rgb255(200, 200, 200));
  bar_->addSubview(hairline_);
  bar_->addSubview(input_);
  view()->addSubview(bar_);

  auto& center = NotificationCenter::defaultCenter();
  auto moved = [this](const Notification& n) {
    // Only this screen's window's keyboard matters.
    if (n.object != static_cast<const View*>(view()->window())) return;
    if (auto info = KeyboardNotification::from(n)) keyboardMoved(info->frameEnd, info->duration);
  };
  keyboardShows_ = center.addObserver(kKeyboardWillShowNotification, moved);
  keyboardHides_ = center.addObserver(kKeyboardWillHideNotification, moved);
}

void ChatViewController::keyboardMoved(Rect frameEnd, double duration) {
  keyboardTop_ = frameEnd.y();
  ViewAnimation::animate(duration, [this] {
    view()->setNeedsLayout();
    view()->layoutIfNeeded();
  });
}

void ChatViewController::viewDidLayoutSubviews() {
  Rect b = view()->bounds();
  // How far the keyboard reaches into this view, in its coordinates.
  double bottom = b.maxY();
  if (keyboardTop_ >= 0) {
    double top = view()->convertPointFromView(Point{0, keyboardTop_}, nullptr).y;
    bottom = std::clamp(top, b.minY() + kBarHeight, b.maxY());
  }
  const double margin = 7, inputWidth = b.width() - 20;
  double inputHeight = std::clamp(input_->sizeThatFits(Size{inputWidth, 0}).height, kBarHeight - 2 * margin,
                                  kMaxInputHeight);
  double barHeight = inputHeight + 2 * margin;
  bar_->setFrame(Rect(0, bottom - barHeight, b.width(), barHeight));
  hairline_->setFrame(Rect(0, 0, b.width(), Screen::main().hairline()));
  input_->setFrame(Rect(10, margin, inputWidth, inputHeight));
}

}  // namespace vexa::tool::ui
