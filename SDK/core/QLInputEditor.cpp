#include "vexa/core/QLInputEditor.h"

#include <algorithm>
#include <string>

#include "vexa/text/QLTextAttachment.h"

namespace vexa {

bool QLInputEditor::inputText(TextInput& input, std::string_view text) {
  return replaceTextInRange(input, input.selectedRange(), text);
}

bool QLInputEditor::replaceTextInRange(TextInput& input, CharacterRange range, std::string_view text) {
  if (!textInputShouldReplaceTextInRange(input, range, text)) return false;
  input.replaceRange(range, text);
  return true;
}

bool QLInputEditor::textInputShouldReplaceTextInRange(TextInput& input, CharacterRange range,
                                                      std::string_view text) {
  return input.shouldChangeText(range, std::string(text));
}

bool QLInputEditor::replaceAttributeTextInRange(TextInput& input, CharacterRange range,
                                                const AttributedString& text) {
  AttributedString styled = text;
  const CharacterRange whole{0, styled.length()};
  if (input.font()) styled.setFont(input.font(), whole);
  if (input.textColor()) styled.setForegroundColor(input.textColor(), whole);
  // Asked with what the input's text will hold: an inline image is U+FFFC.
  if (!textInputShouldReplaceTextInRange(input, range, styled.string())) return false;

  AttributedString result = input.attributedText();
  const size_t location = std::min(range.location, result.length());
  result.replaceCharacters(range, styled);
  input.setAttributedText(std::move(result));
  input.setSelectedRange({location + styled.length(), 0});
  input.didChangeText();
  return true;
}

bool QLInputEditor::insertEmoji(TextInput& input, std::shared_ptr<VXEmoji> emoji) {
  auto attachment = std::make_shared<QLTextAttachment>(std::move(emoji));
  // The caret is an empty selection; a selection is replaced.
  return replaceAttributeTextInRange(input, input.selectedRange(), AttributedString::withAttachment(attachment));
}

bool QLInputEditor::backspace(TextInput& input) {
  CharacterRange target = input.selectedRange();
  if (target.empty()) {
    auto before = input.positionFromPosition(target.location, -1);
    // At the beginning there is nothing to delete, and nobody to tell.
    if (!before) return false;
    target = {*before, target.location - *before};
  }
  return replaceAttributeTextInRange(input, target, AttributedString());
}

}  // namespace vexa
