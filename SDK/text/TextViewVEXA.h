// The emoji-code text of a multi-line text view: its rich text read as plain
// text with bracketed codes, and plain text with codes shown as inline
// images. Main thread only.
#pragma once

#include <string>

#include "vexa/platform/CharacterRange.h"
#include "vexa/platform/TextView.h"
#include "vexa/text/QLTextEmojiSource.h"

namespace vexa {

class TextViewVEXA {
 public:
  // The whole text with each inline emoji written as its bracketed code.
  static std::string vxText(const TextView& view);
  // Shows the text with the codes the device knows as inline images, in the
  // view's font and text colour (when set). The view changes when the local
  // parse answers (at once for the SDK's own source); a view destroyed
  // before then is left alone.
  static void setVxText(TextView& view, const std::string& text,
                        const QLTextEmojiSource& source = QLTextEmojiSource::standard());
  // vxText of a part of the view's text.
  static std::string vxTextWithRange(const TextView& view, CharacterRange range);
};

}  // namespace vexa
