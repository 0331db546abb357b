// Text inputs on screen: typing through the stand-in system keyboard, the
// per-input notifications, the caret, taps, inline images and scrolling.
#include <gtest/gtest.h>

#include <vector>

#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/TextAttachment.h"
#include "vexa/platform/ui/Renderer.h"
#include "vexa/platform/ui/SystemKeyboard.h"
#include "vexa/platform/ui/TextAreaView.h"
#include "vexa/platform/ui/TextFieldView.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {
namespace {

std::shared_ptr<const Image> solidImage(int side, Color color) {
  auto bitmap = std::make_shared<Bitmap>(side, side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) bitmap->setPixel(x, y, color.premultipliedArgb());
  return Image::still(bitmap, 1);
}

TEST(TextInputViewTest, TypingAsksTheDelegateAndPostsForThatInputOnly) {
  auto window = Window::create(Rect(0, 0, 375, 667));
  auto area = TextAreaView::create(Rect(0, 0, 300, 40));
  auto other = TextAreaView::create(Rect(0, 50, 300, 40));
  window->addSubview(area);
  window->addSubview(other);
  auto delegate = std::make_shared<TextViewDelegate>();
  std::vector<std::string> asked;
  int changed = 0;
  delegate->shouldChangeTextInRange = [&](TextView&, CharacterRange, const std::string& text) {
    asked.push_back(text);
    return text != "x";
  };
  delegate->textViewDidChange = [&](TextView&) { ++changed; };
  area->textView().setDelegate(delegate);
  int posted = 0, postedForOther = 0;
  auto& center = NotificationCenter::defaultCenter();
  Subscription mine = center.addObserver(kTextViewTextDidChangeNotification, [&](const Notification&) {
    EXPECT_EQ(changed, posted + 1) << "the delegate hears first";
    ++posted;
  }, static_cast<const View*>(area.get()));
  Subscription others = center.addObserver(kTextViewTextDidChangeNotification,
                                           [&](const Notification&) { ++postedForOther; },
                                           static_cast<const View*>(other.get()));

  ASSERT_TRUE(area->becomeFirstResponder());
  auto keyboard = window->keyboardHost().systemKeyboard();
  EXPECT_FALSE(keyboard->typeText("你x好"));
  EXPECT_EQ(asked, (std::vector<std::string>{"你", "x", "好"})) << "one key per character";
  EXPECT_EQ(area->textView().text(), "你好");
  EXPECT_EQ(area->textView().selectedRange(), (CharacterRange{2, 0}));
  EXPECT_EQ(posted, 2);
  EXPECT_TRUE(keyboard->deleteBackward());
  EXPECT_TRUE(keyboard->insertReturn());
  EXPECT_EQ(area->textView().text(), "你\n");
  EXPECT_EQ(posted, 4);
  area->textView().setText("programmatic");
  EXPECT_EQ(posted, 4) << "setters tell nobody";
  EXPECT_EQ(postedForOther, 0);

  auto field = TextFieldView::create(Rect(0, 100, 200, 30));
  window->addSubview(field);
  int fieldPosts = 0;
  Subscription fieldSub = center.addObserver(kTextFieldTextDidChangeNotification,
                                             [&](const Notification&) { ++fieldPosts; },
                                             static_cast<const View*>(field.get()));
  ASSERT_TRUE(field->becomeFirstResponder());
  EXPECT_FALSE(keyboard->typeText("\n")) << "a single line takes no line break";
  EXPECT_TRUE(keyboard->typeText("ok"));
  EXPECT_EQ(field->textField().text(), "ok");
  EXPECT_EQ(fieldPosts, 2);
}

TEST(TextInputViewTest, TapsPlaceTheCaretAndTheCaretFollowsTheText) {
  auto window = Window::create(Rect(0, 0, 375, 667));
  auto field = TextFieldView::create(Rect(20, 20, 200, 30));
  window->addSubview(field);
  field->textField().setText("你好世界");
  Rect atEnd = field->caretRect();
  field->textField().setSelectedRange({0, 0});
  Rect atStart = field->caretRect();
  EXPECT_GT(atEnd.x(), atStart.x() + 50) << "four CJK characters at 17 points";
  EXPECT_NEAR(atStart.midY(), 15, 2) << "centred in the field";

  window->touches().tap(Point{20 + 190, 35}, 1);  // right of the text
  EXPECT_TRUE(field->isFirstResponder());
  EXPECT_EQ(field->textField().selectedRange(), (CharacterRange{4, 0}));
  window->touches().tap(Point{20 + atStart.x() + 3, 35}, 2);  // on the first character's left half
  EXPECT_EQ(field->textField().selectedRange(), (CharacterRange{0, 0}));
}

TEST(TextInputViewTest, DrawsInlineImagesWhereTheCaretStepsOverThem) {
  auto area = TextAreaView::create(Rect(0, 0, 200, 60));
  area->setBackgroundColor(Color::whiteColor());
  auto attachment = std::make_shared<TextAttachment>();
  attachment->setImage(solidImage(10, Color::rgb(1, 0, 0)));
  attachment->setAttachmentBounds(Rect(0, -4, 20, 20));
  AttributedString text("a");
  text.append(AttributedString::withAttachment(attachment));
  text.append(AttributedString("b"));
  area->textView().setAttributedText(text);

  area->textView().setSelectedRange({1, 0});
  Rect before = area->caretRect();
  area->textView().setSelectedRange({2, 0});
  Rect after = area->caretRect();
  EXPECT_NEAR(after.x() - before.x(), 20, 0.5) << "the attachment's width";

  auto bitmap = Renderer(1).renderToBitmap(*area);
  ASSERT_TRUE(bitmap.ok());
  int cx = static_cast<int>(before.x() + 10), cy = static_cast<int>(before.maxY() - 8);
  EXPECT_EQ((*bitmap)->pixel(cx, cy), Color::rgb(1, 0, 0).premultipliedArgb());
}

TEST(TextInputViewTest, LongTextScrollsToKeepTheCaretInSight) {
  auto area = TextAreaView::create(Rect(0, 0, 120, 60));
  area->textView().setText("一\n二\n三\n四\n五\n六\n七");
  Rect caret = area->caretRect();
  EXPECT_LE(caret.maxY(), 60);
  EXPECT_GT(area->sizeThatFits(Size{120, 0}).height, 7 * caret.height()) << "what it would need";
  EXPECT_GT(caret.y(), 20);
  area->textView().setSelectedRange({0, 0});
  EXPECT_NEAR(area->caretRect().y(), area->textInsets().top, 3) << "back at the top";
}

}  // namespace
}  // namespace vexa
