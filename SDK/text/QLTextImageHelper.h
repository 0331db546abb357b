// Conversions between the two forms of chat text: plain text in which small
// emojis stand as bracketed codes, and rich text in which they are inline
// images (QLTextAttachment). Also finds the emoji of a code and the code at
// the end of a text.
//
// Class operations only; the store is read through a QLTextEmojiSource
// (standard() by default). Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/platform/AttributedString.h"
#include "vexa/store/VXEmoji.h"
#include "vexa/text/QLTextEmojiSource.h"

namespace vexa {

class QLTextImageHelper {
 public:
  // "[" + code + "]".
  static std::string wrappedEmojiCode(std::string_view code);

  // The bracketed code of a small emoji of a default package with which the
  // text ends (first in package and emoji order), or none.
  static std::optional<std::string> wrappedEmojiCodeBelongToSuffixOfText(
      std::string_view text, const QLTextEmojiSource& source = QLTextEmojiSource::standard());

  // Plain text with each QLTextAttachment written as its bracketed code.
  // Other attachments keep their attachment character.
  static std::string pureTextFromAttributeText(const AttributedString& text);

  // Rich text with inline images for the codes the device knows (a local
  // parse); codes it does not know stay as text. The completion runs once,
  // from within the parser's completion.
  static void pureAttributeTextFromText(
      const std::string& text, std::function<void(AttributedString)> completion,
      const QLTextEmojiSource& source = QLTextEmojiSource::standard());

  // The emoji of a code: a small emoji of the stored packages (code trimmed
  // of white space), else a temporary emoji (code as given). Always a
  // record; one whose fields are all empty when nothing matched.
  static std::shared_ptr<VXEmoji> vxEmojiFromCode(
      std::string_view code, const QLTextEmojiSource& source = QLTextEmojiSource::standard());
};

}  // namespace vexa
