// The edits the emotion keyboard makes in the input it serves: plain text
// at the selection, an emoji as an inline image at the caret (or over the
// selection), and the backspace key.
//
// Every edit is a user edit of the input: the input's should-change
// delegate (a text view's or a text field's) is asked first with the range
// and the replacement as the input's text will hold it (an inline image is
// one attachment character, U+FFFC), so a host's length limit holds for
// emojis too; a refused edit changes nothing. A done edit puts the caret
// after the replacement and tells the input's did-change once, in a text
// field as in a text view. An empty input is empty rich text; a backspace
// at the beginning, with nothing selected, changes and tells nothing.
//
// Stateless. Main thread only, like the input.
#pragma once

#include <memory>
#include <string_view>

#include "vexa/platform/AttributedString.h"
#include "vexa/platform/CharacterRange.h"
#include "vexa/platform/TextInput.h"
#include "vexa/store/VXEmoji.h"

namespace vexa {

class QLInputEditor {
 public:
  // Replaces the selection with plain text in the input's style.
  static bool inputText(TextInput& input, std::string_view text);
  // Replaces the range with plain text in the input's style when the
  // input's delegate agrees. True when done.
  static bool replaceTextInRange(TextInput& input, CharacterRange range, std::string_view text);
  // The input's delegate's answer for replacing the range with the text;
  // true when it does not answer.
  static bool textInputShouldReplaceTextInRange(TextInput& input, CharacterRange range,
                                                std::string_view text);
  // Replaces the range with a copy of the rich text given the input's font
  // and text colour (when it has them). True when done.
  static bool replaceAttributeTextInRange(TextInput& input, CharacterRange range,
                                          const AttributedString& text);
  // The emoji as one inline image (QLTextAttachment) at the caret, or over
  // the selection. True when done.
  static bool insertEmoji(TextInput& input, std::shared_ptr<VXEmoji> emoji);
  // Deletes the selection, or the one character (an inline image is one)
  // before the caret. True when something was deleted.
  static bool backspace(TextInput& input);
};

}  // namespace vexa
