// Usage and action reports of QLDownloadManager, and the signed JSON POST
// they share with the lookups.
#include "vexa/api/QLDownloadManager.h"
#include "vexa/api/QLResponseParser.h"
#include "vexa/http/QLQueryString.h"
#include "vexa/platform/MainQueue.h"

namespace vexa {
namespace {

bool isPackageAction(int64_t type) {
  return type >= QLRequestTypeViewPackage && type <= QLRequestTypeRemovePackage;
}

bool isEmojiAction(int64_t type) {
  return type >= QLRequestTypeViewEmoji && type <= QLRequestTypeFavorEmoji;
}

}  // namespace

std::optional<std::string> QLDownloadManager::actionNameWithType(int64_t type) {
  switch (type) {
    case QLRequestTypeViewPackage:
    case QLRequestTypeViewEmoji:
      return "view";
    case QLRequestTypeDownloadPackage:
      return "download";
    case QLRequestTypeRemovePackage:
      return "remove";
    case QLRequestTypeSendEmoji:
      return "send";
    case QLRequestTypeReceiveEmoji:
      return "receive";
    case QLRequestTypeFavorEmoji:
      return "favor";
    default:
      return std::nullopt;
  }
}

std::optional<Value> QLDownloadManager::paramsForEmojiActionType(
    int64_t type, std::string_view packageId, std::string_view emojiId,
    std::optional<std::string_view> emojiText) {
  if (!isEmojiAction(type) || packageId.empty() || emojiId.empty()) return std::nullopt;
  Value usage = Value::dict({{"emoji_id", emojiId},
                             {"emoji_text", emojiText.value_or(std::string_view())},
                             {"action", *actionNameWithType(type)}});
  return Value::dict({{"package_id", packageId}, {"usages", Value::array({std::move(usage)})}});
}

QLDownloadManager::Operation QLDownloadManager::signedJSONPostOperation(int64_t type,
                                                                        std::string_view path,
                                                                        const Value& body,
                                                                        Success success,
                                                                        Failure failure) {
  Value common = generateFinalParamsWithCoreParams(
      Value::dict({{kHTTPPathParamKey, std::string(path)}}), type);
  // Escaped like every query on the wire: a user id or token holding "&",
  // "=", "+" or a space must not change the pairs the service reads. The
  // signature covers the unescaped values, which is what the service
  // recomputes it from.
  std::string query = QLQueryString::fromParameters(common);
  auto url = absoluteURLString(path);
  auto request = url ? requestSerializer()->requestWithMethod("POST", *url + "?" + query, body)
                     : Result<QLURLRequest>(url.error());
  return operationForServiceRequest(std::move(request), std::move(success), std::move(failure));
}

void QLDownloadManager::logAction(int64_t type, const Value& params) {
  VX_ASSERT_MAIN_THREAD();
  if (!actionNameWithType(type) || !params.isDictionary()) return;
  if (isEmojiAction(type)) {
    logUsage(type, params, 0);
    return;
  }
  if (!isPackageAction(type)) return;
  Value report = params;
  report["action"] = *actionNameWithType(type);
  Counter pending = pendingReports_;
  ++*pending;
  sendRequest(type, report, [pending](const Result<QLResponse>&) { --*pending; });
}

void QLDownloadManager::logUsage(int64_t type, const Value& params, int refreshRounds) {
  Counter pending = pendingReports_;
  ++*pending;
  auto post = [this, alive = lifetime_.token(), type, params, refreshRounds, pending] {
    auto operation = signedJSONPostOperation(
        type, QLRequestTypeDescription[type], params,
        [this, alive, type, params, refreshRounds, pending](const Operation&, const Value& json) {
          auto error = QLResponseParser::extraceErrorFromResponse(json);
          if (!error || !isInvalidToken(*error) || refreshRounds >= kMaximumRefreshRounds || alive.expired()) {
            --*pending;
            return;
          }
          fetchAccessTokenWithRefresh(true, [this, type, params, refreshRounds,
                                             pending](const Status& status) {
            // The retry counts itself before this one stops counting.
            if (status) logUsage(type, params, refreshRounds + 1);
            --*pending;
          });
        },
        [pending](const Operation&, const Error&) { --*pending; });
    operationQueue().addOperation(operation);
  };
  withToken(true, [post, pending](const Status& status) {
    if (status) {
      post();
    } else {
      --*pending;
    }
  });
}

}  // namespace vexa
