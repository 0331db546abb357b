#include <gtest/gtest.h>

#include "vexa/platform/TextField.h"
#include "vexa/platform/TextView.h"

namespace vexa {
namespace {

TEST(TextInputTest, TypingAsksTheDelegateAndTellsIt) {
  TextView view;
  auto delegate = std::make_shared<TextViewDelegate>();
  std::vector<std::pair<CharacterRange, std::string>> asked;
  int changes = 0;
  bool allow = true;
  delegate->shouldChangeTextInRange = [&](TextView& v, CharacterRange r, const std::string& t) {
    EXPECT_EQ(&v, &view);
    asked.emplace_back(r, t);
    return allow;
  };
  delegate->textViewDidChange = [&](TextView&) { ++changes; };
  view.setDelegate(delegate);

  view.setText("你好");
  EXPECT_EQ(changes, 0) << "programmatic changes tell no one";
  EXPECT_EQ(view.selectedRange(), (CharacterRange{2, 0}));
  EXPECT_TRUE(view.insertText("!"));
  EXPECT_EQ(view.text(), "你好!");
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].first, (CharacterRange{2, 0}));

  allow = false;
  EXPECT_FALSE(view.insertText("?"));
  EXPECT_FALSE(view.deleteBackward());
  EXPECT_EQ(view.text(), "你好!");
  EXPECT_EQ(changes, 1);

  delegate.reset();  // a delegate that went away is not asked
  EXPECT_TRUE(view.deleteBackward());
  EXPECT_EQ(view.text(), "你好");
}

TEST(TextInputTest, BackspaceRemovesOneWholeCharacterOrTheSelection) {
  TextField field;
  const std::string family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
  field.setText("ab" + family);
  EXPECT_TRUE(field.deleteBackward());
  EXPECT_EQ(field.text(), "ab");
  field.setSelectedRange({0, 2});
  EXPECT_TRUE(field.deleteBackward());
  EXPECT_EQ(field.text(), "");
  EXPECT_FALSE(field.deleteBackward()) << "nothing before the start of the document";
  field.setText("xy");
  field.setSelectedRange({0, 0});
  EXPECT_FALSE(field.deleteBackward());
  EXPECT_EQ(field.text(), "xy");
}

TEST(TextInputTest, FontAndColourStyleTheTextAndWhatIsTyped) {
  TextField field;
  Font font = Font::systemFont(15);
  Color grey = Color::white(0.3);
  field.setText("abc");
  field.setFont(font);
  field.setTextColor(grey);
  EXPECT_EQ(field.attributedText().attributesAt(0).font, font);
  field.setSelectedRange({1, 1});
  field.insertText("中");
  EXPECT_EQ(field.text(), "a中c");
  EXPECT_EQ(field.selectedRange(), (CharacterRange{2, 0}));
  EXPECT_EQ(field.attributedText().attributesAt(1).foregroundColor, grey);
}

TEST(TextInputTest, PositionsStayInsideTheDocument) {
  TextView view;
  view.setText("abc");
  EXPECT_EQ(view.positionFromPosition(3, -1), 2u);
  EXPECT_EQ(view.positionFromPosition(0, -1), std::nullopt);
  EXPECT_EQ(view.positionFromPosition(3, 1), std::nullopt);
  EXPECT_EQ(view.positionFromPosition(9, 0), std::nullopt);
  view.setSelectedRange({2, 10});
  EXPECT_EQ(view.selectedRange(), (CharacterRange{2, 1}));
  view.setSelectedRange({10, 1});
  EXPECT_EQ(view.selectedRange(), (CharacterRange{3, 0}));
}

TEST(TextInputTest, LifetimeExpiresWithTheInput) {
  Lifetime::Token lifetime;
  {
    TextView view;
    lifetime = view.lifetime();
    EXPECT_FALSE(lifetime.expired());
  }
  EXPECT_TRUE(lifetime.expired());
}

}  // namespace
}  // namespace vexa
