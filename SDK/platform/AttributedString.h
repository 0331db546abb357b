// Rich text: UTF-8 text whose characters carry attributes (TextAttributes).
//
// Positions and ranges count characters, and a character is an extended
// grapheme cluster (one visible symbol: "中", "é" written with a combining
// accent, a flag, a family emoji joined by ZWJ, a keycap sequence), except
// that an attachment character U+FFFC always stands alone. No operation can
// split a character: ranges are given in characters, and when an edit makes
// neighbours join into one cluster the joined character takes the attributes
// of its first part. Ranges past the end are clamped to the text. Bytes that
// are not UTF-8 become U+FFFD when text enters the model.
//
// A value type (copies share only their attachments). Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/CharacterRange.h"
#include "vexa/platform/TextAttributes.h"

namespace vexa {

class AttributedString {
 public:
  // The character that stands for an attachment.
  static constexpr std::string_view kAttachmentCharacter = "\xEF\xBF\xBC";  // U+FFFC

  struct Run {
    CharacterRange range;
    TextAttributes attributes;
  };

  AttributedString() = default;
  explicit AttributedString(std::string_view utf8, TextAttributes attributes = {});
  // One attachment character carrying the attachment.
  static AttributedString withAttachment(std::shared_ptr<TextAttachment> attachment,
                                         TextAttributes attributes = {});

  const std::string& string() const { return text_; }
  size_t length() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  bool empty() const { return text_.empty(); }

  // The plain text of a range.
  std::string_view substring(CharacterRange range) const;
  AttributedString attributedSubstring(CharacterRange range) const;
  // The attributes of the character at `index` (< length()).
  const TextAttributes& attributesAt(size_t index) const;
  // Maximal runs of equal attributes, in order.
  std::vector<Run> runs() const;
  // Calls `fn` for each attachment character in the range, in order.
  void forEachAttachment(CharacterRange range,
                         const std::function<void(size_t index, const std::shared_ptr<TextAttachment>&)>& fn) const;

  void replaceCharacters(CharacterRange range, const AttributedString& replacement);
  // Plain replacement text takes the attributes of the first replaced
  // character, or of the one before an empty range; never an attachment.
  void replaceCharacters(CharacterRange range, std::string_view utf8);
  void append(const AttributedString& other) { replaceCharacters({length(), 0}, other); }
  void deleteCharacters(CharacterRange range) { replaceCharacters(range, AttributedString()); }

  void setFont(const std::optional<Font>& font, CharacterRange range);
  void setForegroundColor(const std::optional<Color>& color, CharacterRange range);
  void setAttributes(const TextAttributes& attributes, CharacterRange range);

  // Byte offset of the character at `index` (length() gives the byte size).
  size_t byteOffset(size_t index) const;
  // The character index whose cluster holds byte `offset`.
  size_t characterIndexAtByte(size_t offset) const;

  bool operator==(const AttributedString& other) const;

 private:
  struct ByteRun {
    size_t end;  // byte offset one past the run
    TextAttributes attributes;
  };

  CharacterRange clamp(CharacterRange range) const;
  void modify(CharacterRange range, const std::function<void(TextAttributes&)>& change);
  // Finds the character starts again from character `fromCharacter` (whose
  // start must still be valid) to the end.
  void segment(size_t fromCharacter = 0);
  // Normalises runs_[from...]: at least up to `until`, then as far as the
  // edit's effects reach.
  void normalizeRuns(size_t from = 0, size_t until = SIZE_MAX);
  size_t runIndexAtByte(size_t offset) const;

  std::string text_;
  std::vector<size_t> starts_{0};  // character start offsets, then text_.size()
  std::vector<ByteRun> runs_;   // cover text_ in order; boundaries at characters
};

}  // namespace vexa
