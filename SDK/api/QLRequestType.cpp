#include "vexa/api/QLRequestType.h"

#include <algorithm>

#include "vexa/http/QLHTTPError.h"
#include "vexa/platform/UrlEscaping.h"

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

bool qlRequestTypeTakesGuid(int64_t type) {
  switch (type) {
    case QLRequestTypePackage:
    case QLRequestTypePackageEmojis:
    case QLRequestTypeEmoji:
    case QLRequestTypeViewPackage:
    case QLRequestTypeDownloadPackage:
    case QLRequestTypeRemovePackage:
      return true;
    default:
      return false;
  }
}

std::optional<Error> qlGuidProblem(std::string_view guid) {
  const char* why = nullptr;
  if (guid.empty()) {
    why = "it is empty";
  } else if (guid.size() > kQLMaxGuidBytes) {
    why = "it is longer than 128 bytes";
  } else if (guid == "." || guid == "..") {
    why = "it is a dot name";
  } else if (guid.find('/') != std::string_view::npos) {
    why = "it holds a \"/\"";
  } else if (std::any_of(guid.begin(), guid.end(),
                         [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
    why = "it holds a control character";
  }
  if (!why) return std::nullopt;
  // Escaped, so that no control character reaches a terminal or a log.
  std::string shown = UrlEscaping::escape(guid.substr(0, 48));
  if (guid.size() > 48) shown += "...";
  return qlHTTPRequestError(kQLHTTPRequestErrorInvalidParameters,
                            "Refused guid \"" + shown + "\": " + why);
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
