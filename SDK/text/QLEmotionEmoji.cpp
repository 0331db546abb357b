#include "vexa/text/QLEmotionEmoji.h"

#include <utf8proc.h>

#include "vexa/text/QLEmojiTables.h"

namespace vexa {

std::optional<std::string_view> QLEmotionEmoji::ql_allEmojiByGroup(
    std::optional<std::string_view> name) {
  if (!name) return std::nullopt;
  for (const auto& group : QLEmojiTables::groups()) {
    if (group.name == *name) return group.emoji;
  }
  return std::nullopt;
}

const std::string& QLEmotionEmoji::ql_allEmoji() {
  static const std::string kAll = [] {
    std::string all;
    for (const auto& group : QLEmojiTables::groups()) all += group.emoji;
    return all;
  }();
  return kAll;
}

const std::vector<std::string>& QLEmotionEmoji::ql_allEmojiArray() {
  static const std::vector<std::string> kArray = graphemeClusters(ql_allEmoji());
  return kArray;
}

bool QLEmotionEmoji::ql_containsCharacterSet(std::string_view text, const CharacterSet* set) {
  return set != nullptr && set->intersects(text);
}

bool QLEmotionEmoji::ql_containsEmoji(std::string_view text) {
  static const CharacterSet kEmoji = CharacterSet::fromString(ql_allEmoji());
  return kEmoji.intersects(text);
}

std::vector<std::string> QLEmotionEmoji::graphemeClusters(std::string_view text) {
  std::vector<std::string> clusters;
  utf8proc_int32_t state = 0;
  utf8proc_int32_t previous = -1;
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  for (size_t i = 0; i < text.size();) {
    utf8proc_int32_t cp = -1;
    auto n = utf8proc_iterate(bytes + i, static_cast<utf8proc_ssize_t>(text.size() - i), &cp);
    if (n <= 0) {
      clusters.emplace_back(text.substr(i, 1));
      previous = -1;
      state = 0;
      ++i;
      continue;
    }
    if (previous < 0 || utf8proc_grapheme_break_stateful(previous, cp, &state)) {
      clusters.emplace_back();
    }
    clusters.back().append(text.substr(i, static_cast<size_t>(n)));
    previous = cp;
    i += static_cast<size_t>(n);
  }
  return clusters;
}

}  // namespace vexa
