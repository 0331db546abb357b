// First responders and the window's keyboard: which keyboard comes up, where,
// what the notifications say, and when it goes down again.
#include <gtest/gtest.h>

#include <vector>

#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/ui/KeyboardNotification.h"
#include "vexa/platform/ui/SystemKeyboard.h"
#include "vexa/platform/ui/TextAreaView.h"
#include "vexa/platform/ui/TextFieldView.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {
namespace {

struct KeyboardEvents {
  std::vector<std::string> names;
  std::vector<KeyboardNotification> infos;
  Subscription show, hide;

  explicit KeyboardEvents(const Window& window) {
    auto record = [this](const Notification& n) {
      names.push_back(n.name == kKeyboardWillShowNotification ? "show" : "hide");
      infos.push_back(KeyboardNotification::from(n).value_or(KeyboardNotification{}));
    };
    const void* object = static_cast<const View*>(&window);
    show = NotificationCenter::defaultCenter().addObserver(kKeyboardWillShowNotification, record, object);
    hide = NotificationCenter::defaultCenter().addObserver(kKeyboardWillHideNotification, record, object);
  }
};

// A stand-in for the emotion keyboard: it notes when it is put on screen.
class PanelView : public View {
 public:
  using View::View;
  std::vector<bool> moves;  // true: into a superview

 protected:
  void willMoveToSuperview(View* newSuperview) override { moves.push_back(newSuperview != nullptr); }
};

TEST(KeyboardHostTest, SystemKeyboardComesUpForTextAndHandsOverWithoutGoingDown) {
  auto window = Window::create(Rect(0, 0, 375, 667));
  auto area = TextAreaView::create(Rect(10, 600, 300, 40));
  auto field = TextFieldView::create(Rect(10, 100, 300, 30));
  auto plain = View::create(Rect(0, 0, 10, 10));
  window->addSubview(area);
  window->addSubview(field);
  window->addSubview(plain);
  KeyboardEvents events(*window);

  EXPECT_FALSE(plain->becomeFirstResponder());
  EXPECT_FALSE(TextFieldView::create()->becomeFirstResponder()) << "not in a window";
  ASSERT_TRUE(area->becomeFirstResponder());
  auto& host = window->keyboardHost();
  ASSERT_TRUE(host.isSystemKeyboardShown());
  EXPECT_EQ(host.keyboardFrame(), Rect(0, 451, 375, 216));
  EXPECT_EQ(window->subviews().back(), host.keyboardView()) << "front-most";
  EXPECT_EQ(host.systemKeyboard()->client(), area);
  ASSERT_EQ(events.names, std::vector<std::string>{"show"});
  EXPECT_EQ(events.infos[0].frameBegin, Rect(0, 667, 375, 216));
  EXPECT_EQ(events.infos[0].frameEnd, Rect(0, 451, 375, 216));
  EXPECT_EQ(events.infos[0].duration, KeyboardHost::kAnimationDuration);

  ASSERT_TRUE(field->becomeFirstResponder());
  EXPECT_FALSE(area->isFirstResponder());
  EXPECT_EQ(events.names.size(), 1u) << "the same keyboard stays up";
  EXPECT_EQ(host.systemKeyboard()->client(), field);

  window->endEditing();
  EXPECT_EQ(host.keyboardView(), nullptr);
  ASSERT_EQ(events.names, (std::vector<std::string>{"show", "hide"}));
  EXPECT_EQ(events.infos[1].frameEnd.y(), 667);
  EXPECT_FALSE(host.systemKeyboard()->typeText("x")) << "no client once down";
}

TEST(KeyboardHostTest, InputViewReplacesTheSystemKeyboardOnReloadAndLeavesWithItsResponder) {
  auto window = Window::create(Rect(0, 0, 320, 568));
  auto container = View::create(Rect(0, 0, 320, 568));
  auto area = TextAreaView::create(Rect(0, 500, 320, 40));
  container->addSubview(area);
  window->addSubview(container);
  ASSERT_TRUE(area->becomeFirstResponder());
  KeyboardEvents events(*window);

  auto panel = std::make_shared<PanelView>(Rect(0, 0, 320, 250));
  area->setInputView(panel);
  EXPECT_TRUE(window->keyboardHost().isSystemKeyboardShown()) << "only after a reload";
  area->reloadInputViews();
  EXPECT_EQ(window->keyboardHost().keyboardView(), panel);
  EXPECT_EQ(panel->frame(), Rect(0, 318, 320, 250)) << "its own height at the bottom";
  EXPECT_EQ(panel->moves, std::vector<bool>{true});
  ASSERT_EQ(events.names, std::vector<std::string>{"show"});
  EXPECT_EQ(events.infos[0].frameBegin, Rect(0, 352, 320, 216)) << "from the system keyboard";
  ASSERT_TRUE(panel->lastAnimation());
  EXPECT_EQ(panel->lastAnimation()->duration, KeyboardHost::kAnimationDuration);

  container->removeFromSuperview();  // the input leaves the screen
  EXPECT_FALSE(area->isFirstResponder());
  EXPECT_EQ(panel->superview(), nullptr);
  EXPECT_EQ(panel->moves, (std::vector<bool>{true, false}));
  EXPECT_EQ(events.names, (std::vector<std::string>{"show", "hide"}));
}

TEST(KeyboardHostTest, PresentingAScreenTakesTheKeyboardDown) {
  auto window = Window::create(Rect(0, 0, 375, 667));
  auto root = std::make_shared<ViewController>();
  window->setRootViewController(root);
  auto field = TextFieldView::create(Rect(0, 0, 200, 30));
  root->view()->addSubview(field);
  ASSERT_TRUE(field->becomeFirstResponder());
  root->presentViewController(std::make_shared<ViewController>(), false);
  EXPECT_EQ(window->firstResponder(), nullptr);
  EXPECT_EQ(window->keyboardHost().keyboardView(), nullptr);
}

}  // namespace
}  // namespace vexa
