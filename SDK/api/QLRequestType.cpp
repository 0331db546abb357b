#include "vexa/api/QLRequestType.h"

namespace vexa {

const char* const kHTTPPathParamKey = "kHTTPPathParamKey";

const char* const QLRequestTypeDescription[kQLRequestTypeCount] = {
    "token",
    "ad_banner/index",
    "category",
    "category/code/default",
    "package/%@",
    "package/%@/emojis",
    "emoji/%@",
    "callback/package/%@",
    "callback/package/%@",
    "callback/package/%@",
    "callback/emojis/usage",
    "callback/emojis/usage",
    "callback/emojis/usage",
    "callback/emojis/usage",
    "emoji/code/%@",
    "emoji/codes",
    "emoji/small_emo_code",
    "emoji/big_emo_code",
    "category/code/recommend",
    "checkpackage/new",
};

bool qlIsKnownRequestType(int64_t type) { return type >= 0 && type < kQLRequestTypeCount; }

std::optional<std::string> qlPathTemplateForRequestType(int64_t type) {
  if (!qlIsKnownRequestType(type)) return std::nullopt;
  return std::string(QLRequestTypeDescription[type]);
}

const char* qlMethodForRequestType(int64_t type) {
  switch (type) {
    case QLRequestTypeViewEmoji:
    case QLRequestTypeSendEmoji:
    case QLRequestTypeReceiveEmoji:
    case QLRequestTypeFavorEmoji:
    case QLRequestTypeEmojisByCodes:
    case QLRequestTypeSmallEmojisByCodes:
    case QLRequestTypeBigEmojisByCodes:
      return "POST";
    default:
      return "GET";
  }
}

}  // namespace vexa
