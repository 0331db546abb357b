#include "vexa/text/TextViewVEXA.h"

#include "vexa/text/QLTextImageHelper.h"

namespace vexa {

std::string TextViewVEXA::vxText(const TextView& view) {
  return QLTextImageHelper::pureTextFromAttributeText(view.attributedText());
}

void TextViewVEXA::setVxText(TextView& view, const std::string& text,
                             const QLTextEmojiSource& source) {
  QLTextImageHelper::pureAttributeTextFromText(
      text,
      [target = &view, alive = view.lifetime()](AttributedString rich) {
        if (alive.expired()) return;
        CharacterRange all{0, rich.length()};
        if (target->font()) rich.setFont(target->font(), all);
        if (target->textColor()) rich.setForegroundColor(target->textColor(), all);
        target->setAttributedText(std::move(rich));
      },
      source);
}

std::string TextViewVEXA::vxTextWithRange(const TextView& view, CharacterRange range) {
  return QLTextImageHelper::pureTextFromAttributeText(view.attributedText().attributedSubstring(range));
}

}  // namespace vexa
