// Service answers: the JSON response serializer, then the envelope and
// every request type's parser over whatever decoded.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "vexa/api/QLRequestType.h"
#include "vexa/api/QLResponseParser.h"
#include "vexa/http/QLJSONResponseSerializer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  static const QLJSONResponseSerializer serializer;
  static const QLURLResponse response("http://h/api/v1/x", 200,
                                      {{"Content-Type", "application/json"}});
  std::string_view body(reinterpret_cast<const char*>(data), size);
  auto object = serializer.responseObjectForResponse(response, body);
  if (!object) return 0;
  for (int64_t type = 0; type < kQLRequestTypeCount; ++type) {
    auto parsed = QLResponseParser::parseResponse(*object, type);
    if (!parsed) continue;
    if (const auto* categories = parsed->categories()) {
      for (const auto& category : *categories) (void)category->keyValues();
    }
    if (const auto* emojis = parsed->emojis()) {
      for (const auto& emoji : *emojis) (void)emoji->keyValues();
    }
    if (auto emoji = parsed->emoji()) (void)emoji->keyValues();
  }
  return 0;
}
