#include "vexa/text/VXTextParser.h"

#include <atomic>
#include <unordered_map>
#include <unordered_set>

namespace vexa {
namespace {

// Lookups are outside code: whatever they do, the caller hears back once.
template <typename Fn>
Fn callOnce(Fn fn) {
  auto called = std::make_shared<std::atomic<bool>>(false);
  return [called, fn = std::move(fn)](auto&&... args) {
    if (called->exchange(true)) return;
    fn(std::forward<decltype(args)>(args)...);
  };
}

}  // namespace

std::vector<EmojiCodeMatch> VXTextParser::findEmojicodesResultFromVXText(std::string_view text) {
  return EmojiCodeScanner::findAll(text);
}

std::vector<std::string> VXTextParser::distinctCodes(std::string_view text) {
  std::vector<std::string> codes;
  std::unordered_set<std::string_view> seen;
  EmojiCodeScanner scanner(text);
  while (auto m = scanner.next()) {
    auto code = m->code(text);
    if (seen.insert(code).second) codes.emplace_back(code);
  }
  return codes;
}

void VXTextParser::parseVXText(const std::string& text, Completion completion,
                               const QLTextEmojiSource& source) {
  if (!completion) return;
  auto codes = distinctCodes(text);
  if (codes.empty()) {
    completion(VXTextElements{text});
    return;
  }
  if (!source.fetchSmallEmojisByCodes) {
    completion(qlErrorWithCode(kQLTextLookupUnavailable, "emoji lookup by code is not available"));
    return;
  }
  source.fetchSmallEmojisByCodes(
      codes, callOnce(std::function<void(Result<Emojis>)>(
                 [text, completion = std::move(completion)](Result<Emojis> found) {
                   if (!found.ok()) {
                     completion(found.error());
                     return;
                   }
                   completion(generateTextImageArrayFromVXText(text, *found));
                 })));
}

void VXTextParser::localParseVXText(const std::string& text, LocalCompletion completion,
                                    const QLTextEmojiSource& source) {
  if (!completion) return;
  auto codes = distinctCodes(text);
  if (codes.empty() || !source.fetchLocalSmallEmojisByCodes) {
    // Without a local lookup every code stays as its bracketed text.
    completion(generateTextImageArrayFromVXText(text, {}));
    return;
  }
  source.fetchLocalSmallEmojisByCodes(
      codes, callOnce(std::function<void(Emojis)>(
                 [text, completion = std::move(completion)](Emojis found) {
                   completion(generateTextImageArrayFromVXText(text, found));
                 })));
}

std::shared_ptr<VXEmoji> VXTextParser::findEmojiWithEmojiCode(std::string_view code,
                                                              const Emojis& emojis) {
  for (const auto& emoji : emojis) {
    if (emoji && emoji->emojiCode() == code) return emoji;
  }
  return nullptr;
}

VXTextElements VXTextParser::generateTextImageArrayFromVXText(std::string_view text,
                                                              const Emojis& emojis) {
  // First record per code, as findEmojiWithEmojiCode would answer, without
  // walking the list once per occurrence.
  std::unordered_map<std::string_view, const std::shared_ptr<VXEmoji>*> byCode;
  for (const auto& emoji : emojis) {
    if (emoji) byCode.try_emplace(emoji->emojiCode(), &emoji);
  }
  VXTextElements elements;
  size_t position = 0;
  EmojiCodeScanner scanner(text);
  bool anyCode = false;
  while (auto m = scanner.next()) {
    anyCode = true;
    if (m->location > position) elements.emplace_back(std::string(text.substr(position, m->location - position)));
    position = m->end();
    auto it = byCode.find(m->code(text));
    if (it != byCode.end()) {
      elements.emplace_back(*it->second);
    } else {
      elements.emplace_back(std::string(m->whole(text)));
    }
  }
  if (!anyCode) return VXTextElements{std::string(text)};
  if (position < text.size()) elements.emplace_back(std::string(text.substr(position)));
  return elements;
}

std::string VXTextParser::textFromElements(const VXTextElements& elements) {
  std::string out;
  for (const auto& element : elements) {
    if (const auto* piece = std::get_if<std::string>(&element)) {
      out += *piece;
    } else if (const auto& emoji = std::get<std::shared_ptr<VXEmoji>>(element)) {
      out += "[" + emoji->emojiCode() + "]";
    }
  }
  return out;
}

}  // namespace vexa
