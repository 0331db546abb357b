// Attaching the keyboard to inputs on screen: the overlay it lays over the
// input, the input view, and switching between inputs.
#include <gtest/gtest.h>

#include "KeyboardTestSupport.h"
#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include "vexa/platform/ui/TextAreaView.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

using test::KeyboardTest;

TEST_F(KeyboardTest, TheOverlayIsHeldNotFoundByTagAndFollowsTheInput) {
  installDefaults();
  showKeyboard();
  keyboard_->removeFromSuperview();
  auto first = TextAreaView::create(Rect(10, 400, 300, 40));
  auto second = TextAreaView::create(Rect(10, 300, 300, 40));
  auto hostOwn = View::create(Rect(0, 0, 5, 5));
  hostOwn->setTag(1000);  // the host's own view under the tag the overlay once had
  first->addSubview(hostOwn);
  window_->addSubview(first);
  window_->addSubview(second);

  ASSERT_TRUE(QLEmotionKeyboard::switchToEmotionKeyboard(first, keyboard_));
  EXPECT_EQ(QLEmotionKeyboard::emotionKeyboard(*first), keyboard_);
  auto overlay = keyboard_->overlay();
  ASSERT_NE(overlay, nullptr);
  EXPECT_EQ(overlay->superview(), first.get());
  EXPECT_EQ(&keyboard_->textInput()->attributedText(), &first->input().attributedText());

  // Another input: the first is detached first, its own view untouched.
  keyboard_->attachToTextInput(second);
  EXPECT_EQ(first->inputView(), nullptr);
  EXPECT_EQ(hostOwn->superview(), first.get());
  EXPECT_EQ(keyboard_->overlay()->superview(), second.get());
  EXPECT_EQ(keyboard_->textInputView(), second);

  second->setFrame(Rect(10, 280, 300, 60));  // the input grows: the overlay follows
  EXPECT_EQ(keyboard_->overlay()->frame(), Rect(0, 0, 300, 60));

  // A tap on the overlay gives the input its system keyboard back.
  int taps = 0;
  delegate_->tapOverlayForKeyboard = [&taps](QLEmotionKeyboard&) { ++taps; };
  window_->touches().tap(Point{100, 300}, clock_++);
  EXPECT_EQ(taps, 1);
  EXPECT_EQ(second->inputView(), nullptr);
  EXPECT_EQ(keyboard_->overlay(), nullptr);
  EXPECT_EQ(keyboard_->textInput(), nullptr);

  // An input that goes away while attached is simply forgotten.
  keyboard_->attachToTextInput(first);
  second->removeFromSuperview();
  first->removeFromSuperview();
  first.reset();
  EXPECT_EQ(keyboard_->textInput(), nullptr);
  keyboard_->switchToDefaultKeyboard();
  EXPECT_FALSE(QLEmotionKeyboard::switchToEmotionKeyboard(View::create(), keyboard_));
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(KeyboardInputTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
