// The model of an editable text input: rich text, a selection (the caret is
// an empty selection), a font and a text colour, and the editing operations
// that the platform's keyboards and the emotion keyboard perform.
//
// Two kinds exist, a single-line TextField and a multi-line TextView; each
// has its own delegate (held weakly, members optional) with a should-change
// question and a did-change notice. Positions count characters as
// AttributedString defines them, so no edit can split a character.
//
// Programmatic changes (setAttributedText, setText, setSelectedRange) ask and
// tell no delegate. User edits (insertText, deleteBackward) ask
// shouldChangeText first and tell didChangeText after; replaceRange is the
// keyboards' entry point and only tells.
//
// Main thread only. Not copyable: an input is an object with an identity.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/platform/AttributedString.h"
#include "vexa/platform/CharacterRange.h"
#include "vexa/platform/Color.h"
#include "vexa/platform/Font.h"
#include "vexa/platform/Lifetime.h"

namespace vexa {

class TextInput {
 public:
  enum class Kind { Field, View };

  virtual ~TextInput() = default;
  TextInput(const TextInput&) = delete;
  TextInput& operator=(const TextInput&) = delete;

  Kind kind() const { return kind_; }

  const AttributedString& attributedText() const { return text_; }
  // Replaces the rich text as it is; the caret moves to the end.
  void setAttributedText(AttributedString text);
  // The plain text (attachment characters included as U+FFFC).
  const std::string& text() const { return text_.string(); }
  // Replaces the text with plain text in the input's font and text colour.
  void setText(std::string_view text);

  // The font and colour of the text; setting one restyles the whole text.
  const std::optional<Font>& font() const { return font_; }
  void setFont(std::optional<Font> font);
  const std::optional<Color>& textColor() const { return textColor_; }
  void setTextColor(std::optional<Color> color);

  // The selection; clamped to the text.
  CharacterRange selectedRange() const { return selection_; }
  void setSelectedRange(CharacterRange range);

  size_t length() const { return text_.length(); }
  // The position `offset` characters away, or none outside the document.
  std::optional<size_t> positionFromPosition(size_t position, std::ptrdiff_t offset) const;

  // Replaces a range with plain text in the input's style and puts the caret
  // after it; tells didChangeText. Asks nothing.
  void replaceRange(CharacterRange range, std::string_view text);
  // Typing: replaces the selection when the delegate agrees. True when done.
  bool insertText(std::string_view text);
  // The backspace key: the selection, or the character before the caret,
  // when the delegate agrees. True when something was deleted.
  bool deleteBackward();

  // Asks the delegate whether a user edit may replace the range with the
  // text; true when the delegate does not answer.
  virtual bool shouldChangeText(CharacterRange range, const std::string& text) = 0;
  // Tells the delegate that the text changed.
  virtual void didChangeText() = 0;

  // Expires when the input is destroyed, so that late completions can tell
  // whether the input is still there.
  Lifetime::Token lifetime() const { return lifetime_.token(); }

 protected:
  explicit TextInput(Kind kind) : kind_(kind) {}

 private:
  TextAttributes typingAttributes() const;

  const Kind kind_;
  AttributedString text_;
  CharacterRange selection_;
  std::optional<Font> font_;
  std::optional<Color> textColor_;
  Lifetime lifetime_;
};

}  // namespace vexa
