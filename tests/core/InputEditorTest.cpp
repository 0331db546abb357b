// The keyboard's edits of the input: inline emojis at the caret, backspace,
// and the host's should-change and did-change delegates.
#include <gtest/gtest.h>

#include "vexa/core/QLInputEditor.h"
#include "vexa/platform/TextField.h"
#include "vexa/platform/TextView.h"
#include "support/TinyImages.h"
#include "vexa/text/QLTextAttachment.h"
#include "vexa/text/QLTextImageHelper.h"

namespace vexa {
namespace {

std::shared_ptr<VXEmoji> emoji(const std::string& code) {
  auto e = std::make_shared<VXEmoji>();
  e->setEmojiCode(code);
  return e;
}

std::string plain(const TextInput& input) { return QLTextImageHelper::pureTextFromAttributeText(input.attributedText()); }

// What a host's delegates hear, for a text view and a text field alike.
struct Host {
  int changes = 0;
  std::vector<std::pair<CharacterRange, std::string>> asked;
  size_t limit = 1000;  // the host's length limit, in characters

  bool allow(const TextInput& input, CharacterRange range, const std::string& text) {
    asked.emplace_back(range, text);
    return input.length() - range.length + AttributedString(text).length() <= limit;
  }
  std::shared_ptr<TextViewDelegate> viewDelegate() {
    auto d = std::make_shared<TextViewDelegate>();
    d->shouldChangeTextInRange = [this](TextView& v, CharacterRange r, const std::string& t) { return allow(v, r, t); };
    d->textViewDidChange = [this](TextView&) { ++changes; };
    return d;
  }
  std::shared_ptr<TextFieldDelegate> fieldDelegate() {
    auto d = std::make_shared<TextFieldDelegate>();
    d->shouldChangeCharactersInRange = [this](TextField& f, CharacterRange r, const std::string& t) {
      return allow(f, r, t);
    };
    d->textFieldDidChange = [this](TextField&) { ++changes; };
    return d;
  }
};

TEST(InputEditorTest, AnEmojiGoesInAtTheCaretInTheInputsStyleInAFieldAsInAView) {
  TextView view;
  TextField field;
  Host viewHost, fieldHost;
  auto viewDelegate = viewHost.viewDelegate();
  auto fieldDelegate = fieldHost.fieldDelegate();
  view.setDelegate(viewDelegate);
  field.setDelegate(fieldDelegate);
  for (auto [input, host] : {std::pair<TextInput*, Host*>{&view, &viewHost}, {&field, &fieldHost}}) {
    input->setFont(Font::systemFont(15));
    input->setTextColor(Color::rgb255(10, 20, 30));
    input->setText("ab");
    input->setSelectedRange({1, 0});
    ASSERT_TRUE(QLInputEditor::insertEmoji(*input, emoji("smile")));
    EXPECT_EQ(plain(*input), "a[smile]b");
    EXPECT_EQ(input->selectedRange(), (CharacterRange{2, 0})) << "the caret after the emoji";
    EXPECT_EQ(host->changes, 1) << "one did-change, also in a text field";
    ASSERT_EQ(host->asked.size(), 1u);
    EXPECT_EQ(host->asked[0].second, AttributedString::kAttachmentCharacter) << "asked as the text will hold it";
    const TextAttributes& image = input->attributedText().attributesAt(1);
    EXPECT_TRUE(std::dynamic_pointer_cast<QLTextAttachment>(image.attachment));
    EXPECT_EQ(image.font, Font::systemFont(15));
    EXPECT_EQ(image.foregroundColor, Color::rgb255(10, 20, 30));
  }

  // A selection is replaced; an empty input takes an emoji too.
  view.setText("hello");
  view.setSelectedRange({1, 3});
  ASSERT_TRUE(QLInputEditor::insertEmoji(view, emoji("x")));
  EXPECT_EQ(plain(view), "h[x]o");
  view.setText("");
  ASSERT_TRUE(QLInputEditor::insertEmoji(view, emoji("y")));
  EXPECT_EQ(plain(view), "[y]");
  EXPECT_EQ(view.selectedRange(), (CharacterRange{1, 0}));
}

TEST(InputEditorTest, BackspaceRemovesOneImageOrTheSelectionAndNothingAtTheStart) {
  TextView view;
  Host host;
  auto delegate = host.viewDelegate();
  view.setDelegate(delegate);
  view.setText("ab");
  view.setSelectedRange({1, 0});
  ASSERT_TRUE(QLInputEditor::insertEmoji(view, emoji("smile")));
  host.changes = 0;
  EXPECT_TRUE(QLInputEditor::backspace(view));
  EXPECT_EQ(plain(view), "ab") << "the whole image in one press";
  EXPECT_EQ(view.selectedRange(), (CharacterRange{1, 0}));

  view.setSelectedRange({0, 2});
  EXPECT_TRUE(QLInputEditor::backspace(view));
  EXPECT_EQ(plain(view), "");
  EXPECT_EQ(host.changes, 2);

  view.setText("xy");
  view.setSelectedRange({0, 0});
  host.asked.clear();
  EXPECT_FALSE(QLInputEditor::backspace(view));
  EXPECT_EQ(plain(view), "xy");
  EXPECT_EQ(host.changes, 2) << "nothing deleted, nobody told";
  EXPECT_TRUE(host.asked.empty());
}

TEST(InputEditorTest, TheHostsLengthLimitHoldsForEmojisAndPlainText) {
  TextView view;
  Host host;
  host.limit = 3;
  auto delegate = host.viewDelegate();
  view.setDelegate(delegate);
  view.setText("ab");
  ASSERT_TRUE(QLInputEditor::insertEmoji(view, emoji("one")));
  EXPECT_FALSE(QLInputEditor::insertEmoji(view, emoji("two"))) << "a fourth character is refused";
  EXPECT_FALSE(QLInputEditor::inputText(view, "c"));
  EXPECT_EQ(plain(view), "ab[one]");
  EXPECT_EQ(view.selectedRange(), (CharacterRange{3, 0}));
  EXPECT_EQ(host.changes, 1);
  // Replacing the selection keeps within the limit, so it is allowed.
  view.setSelectedRange({0, 1});
  EXPECT_TRUE(QLInputEditor::inputText(view, "z"));
  EXPECT_EQ(plain(view), "zb[one]");
}

}  // namespace
}  // namespace vexa
