#include "vexa/api/QLLookupAnswer.h"

#include <set>

#include "vexa/api/QLResponseParser.h"

namespace vexa {

QLLookupAnswer QLLookupAnswer::parse(const Value& json, const std::vector<std::string>& asked) {
  QLLookupAnswer answer;
  answer.error = QLResponseParser::extraceErrorFromResponse(json);
  const Value* list = json.find("data_list");
  if (!list || !list->isArray()) return answer;
  std::set<std::string, std::less<>> wanted(asked.begin(), asked.end());
  for (const Value& element : *list->asArray()) {
    if (!element.isDictionary()) continue;
    auto emoji = std::make_shared<QLEmoji>();
    emoji->updateWithKeyValues(element);
    // Judged on the guid as the record reads it: a null, empty or non-scalar
    // guid (an array after a duplicate key, say) leaves none, and an emoji
    // without one would pass for found.
    if (emoji->guid().empty()) continue;
    auto code = wanted.find(emoji->emo_code());
    if (code == wanted.end()) continue;
    wanted.erase(code);
    answer.emojis.push_back(std::move(emoji));
  }
  return answer;
}

}  // namespace vexa
