#include "vexa/platform/TextInput.h"

#include <algorithm>

namespace vexa {

void TextInput::setAttributedText(AttributedString text) {
  text_ = std::move(text);
  selection_ = {text_.length(), 0};
}

void TextInput::setText(std::string_view text) {
  setAttributedText(AttributedString(text, typingAttributes()));
}

TextAttributes TextInput::typingAttributes() const {
  TextAttributes attributes;
  attributes.font = font_;
  attributes.foregroundColor = textColor_;
  return attributes;
}

void TextInput::setFont(std::optional<Font> font) {
  font_ = std::move(font);
  if (font_) text_.setFont(font_, {0, text_.length()});
}

void TextInput::setTextColor(std::optional<Color> color) {
  textColor_ = std::move(color);
  if (textColor_) text_.setForegroundColor(textColor_, {0, text_.length()});
}

void TextInput::setSelectedRange(CharacterRange range) {
  size_t location = std::min(range.location, text_.length());
  selection_ = {location, std::min(range.length, text_.length() - location)};
}

std::optional<size_t> TextInput::positionFromPosition(size_t position, std::ptrdiff_t offset) const {
  if (position > text_.length()) return std::nullopt;
  if (offset < 0 && static_cast<size_t>(-offset) > position) return std::nullopt;
  size_t target = offset < 0 ? position - static_cast<size_t>(-offset)
                             : position + static_cast<size_t>(offset);
  if (target > text_.length()) return std::nullopt;
  return target;
}

void TextInput::replaceRange(CharacterRange range, std::string_view text) {
  AttributedString replacement(text, typingAttributes());
  size_t location = std::min(range.location, text_.length());
  text_.replaceCharacters(range, replacement);
  // Joining with a neighbour may shorten the text; keep the caret inside it.
  setSelectedRange({location + replacement.length(), 0});
  didChangeText();
}

bool TextInput::insertText(std::string_view text) {
  std::string replacement(text);
  if (!shouldChangeText(selection_, replacement)) return false;
  replaceRange(selection_, replacement);
  return true;
}

bool TextInput::deleteBackward() {
  CharacterRange target = selection_;
  if (target.empty()) {
    auto before = positionFromPosition(selection_.location, -1);
    if (!before) return false;
    target = {*before, 1};
  }
  if (!shouldChangeText(target, std::string())) return false;
  replaceRange(target, {});
  return true;
}

}  // namespace vexa
