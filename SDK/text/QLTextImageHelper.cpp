#include "vexa/text/QLTextImageHelper.h"

#include "vexa/platform/CharacterSet.h"
#include "vexa/text/QLTextAttachment.h"
#include "vexa/text/VXTextParser.h"

namespace vexa {

std::string QLTextImageHelper::wrappedEmojiCode(std::string_view code) {
  std::string out;
  out.reserve(code.size() + 2);
  out += '[';
  out += code;
  out += ']';
  return out;
}

std::optional<std::string> QLTextImageHelper::wrappedEmojiCodeBelongToSuffixOfText(
    std::string_view text, const QLTextEmojiSource& source) {
  // The delete key asks on every press: no work unless a code can end here.
  if (!source.defaultPackages || !text.ends_with(']')) return std::nullopt;
  for (const auto& package : source.defaultPackages()) {
    if (!package || package->packageType() != QLPackage::kDefaultSmallEmojiType) continue;
    for (const auto& emoji : package->emojis()) {
      // "[]" is no code, so an emoji without one cannot end the text.
      if (!emoji || emoji->emo_code().empty()) continue;
      const std::string& code = emoji->emo_code();
      if (text.size() < code.size() + 2) continue;
      std::string_view tail = text.substr(text.size() - code.size() - 2);
      if (tail.front() == '[' && tail.substr(1, code.size()) == code) return wrappedEmojiCode(code);
    }
  }
  return std::nullopt;
}

std::string QLTextImageHelper::pureTextFromAttributeText(const AttributedString& text) {
  std::string out;
  size_t position = 0;
  text.forEachAttachment({0, text.length()}, [&](size_t index, const std::shared_ptr<TextAttachment>& a) {
    auto* attachment = dynamic_cast<const QLTextAttachment*>(a.get());
    if (attachment == nullptr) return;
    out += text.substring({position, index - position});
    out += wrappedEmojiCode(attachment->emoji() ? attachment->emoji()->emojiCode() : std::string());
    position = index + 1;
  });
  out += text.substring({position, text.length() - position});
  return out;
}

void QLTextImageHelper::pureAttributeTextFromText(const std::string& text,
                                                  std::function<void(AttributedString)> completion,
                                                  const QLTextEmojiSource& source) {
  if (!completion) return;
  VXTextParser::localParseVXText(
      text,
      [completion = std::move(completion)](VXTextElements elements) {
        AttributedString rich;
        for (const auto& element : elements) {
          if (const auto* piece = std::get_if<std::string>(&element)) {
            rich.append(AttributedString(*piece));
          } else if (const auto& emoji = std::get<std::shared_ptr<VXEmoji>>(element)) {
            rich.append(AttributedString::withAttachment(std::make_shared<QLTextAttachment>(emoji)));
          }
        }
        completion(std::move(rich));
      },
      source);
}

std::shared_ptr<VXEmoji> QLTextImageHelper::vxEmojiFromCode(std::string_view code,
                                                            const QLTextEmojiSource& source) {
  static const CharacterSet kBlanks = CharacterSet::whitespaceAndNewlines();
  auto trimmed = kBlanks.trim(code);
  if (!trimmed.empty() && source.allPackages) {
    for (const auto& package : source.allPackages()) {
      if (!package || package->packageType() != QLPackage::kDefaultSmallEmojiType) continue;
      for (const auto& emoji : package->emojis()) {
        if (emoji && emoji->emo_code() == trimmed) return source.convert(emoji);
      }
    }
  }
  std::shared_ptr<QLEmoji> temporary;
  if (source.tempEmojiWithEmojiCode) temporary = source.tempEmojiWithEmojiCode(std::string(code));
  return source.convert(temporary);
}

}  // namespace vexa
