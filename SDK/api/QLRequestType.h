// The requests the API client sends: their types, path templates and
// methods. A type selects the path template, the HTTP method and how the
// response is parsed (see QLResponseParser).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/platform/Error.h"

namespace vexa {

enum QLRequestType : int64_t {
  QLRequestTypeToken = 0,
  QLRequestTypeBanner = 1,
  QLRequestTypeCategory = 2,
  QLRequestTypeDefaultPackages = 3,
  QLRequestTypePackage = 4,
  QLRequestTypePackageEmojis = 5,
  QLRequestTypeEmoji = 6,
  QLRequestTypeViewPackage = 7,
  QLRequestTypeDownloadPackage = 8,
  QLRequestTypeRemovePackage = 9,
  QLRequestTypeViewEmoji = 10,
  QLRequestTypeSendEmoji = 11,
  QLRequestTypeReceiveEmoji = 12,
  QLRequestTypeFavorEmoji = 13,
  QLRequestTypeEmojiByCode = 14,
  QLRequestTypeEmojisByCodes = 15,
  QLRequestTypeSmallEmojisByCodes = 16,
  QLRequestTypeBigEmojisByCodes = 17,
  QLRequestTypeRecommend = 18,
  QLRequestTypeCheckNewPackages = 19,
};

inline constexpr int64_t kQLRequestTypeCount = 20;

// The parameter key under which a caller puts the argument of a "%@"
// template; during assembly it carries the relative path. Never sent.
extern const char* const kHTTPPathParamKey;  // "kHTTPPathParamKey"

// The path templates, indexed by type.
extern const char* const QLRequestTypeDescription[kQLRequestTypeCount];

// True for the types 0 to 19.
bool qlIsKnownRequestType(int64_t type);
// The path template of a known type, none otherwise.
std::optional<std::string> qlPathTemplateForRequestType(int64_t type);
// True for the types whose "%@" argument is a package's or an emoji's guid.
bool qlRequestTypeTakesGuid(int64_t type);
// Why `guid` cannot be sent as one: empty, longer than kQLMaxGuidBytes, "."
// or "..", or holding "/" or a control character. None when it can. The
// error (kQLHTTPRequestErrorInvalidParameters) shows the guid escaped.
inline constexpr size_t kQLMaxGuidBytes = 128;
std::optional<Error> qlGuidProblem(std::string_view guid);
// "POST" for types 10 to 13 and 15 to 17, "GET" for every other.
const char* qlMethodForRequestType(int64_t type);

}  // namespace vexa
