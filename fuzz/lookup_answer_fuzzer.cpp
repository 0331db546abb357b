// Answers to lookups by code: the JSON response serializer, then the
// reading of the elements against the codes asked. Every emoji kept must
// be for a code asked, and each code at most once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "vexa/api/QLLookupAnswer.h"
#include "vexa/http/QLJSONResponseSerializer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  static const QLJSONResponseSerializer serializer;
  static const QLURLResponse response("http://h/api/v1/emoji/small_emo_code", 200,
                                      {{"Content-Type", "application/json"}});
  static const std::vector<std::string> asked = {"a", "b", "微笑", "", "smile", "[x]"};
  std::string_view body(reinterpret_cast<const char*>(data), size);
  auto object = serializer.responseObjectForResponse(response, body);
  if (!object) return 0;
  QLLookupAnswer answer = QLLookupAnswer::parse(*object, asked);
  std::set<std::string> seen;
  for (const auto& emoji : answer.emojis) {
    bool wasAsked = false;
    for (const auto& code : asked) wasAsked = wasAsked || code == emoji->emo_code();
    if (!wasAsked || !seen.insert(emoji->emo_code()).second || emoji->guid().empty()) std::abort();
    (void)emoji->keyValues();
  }
  return 0;
}
