#include "vexa/api/QLDownloadManager.h"

#include <chrono>
#include <cstdlib>

#include "vexa/api/QLResponseParser.h"
#include "vexa/http/QLHTTPDefaultHeaders.h"
#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLJSONRequestSerializer.h"
#include "vexa/http/QLJSONResponseSerializer.h"
#include "vexa/platform/Environment.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Md5.h"
#include "vexa/platform/Once.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/WallClock.h"

namespace vexa {
namespace {

std::shared_ptr<QLJSONResponseSerializer> serviceResponseSerializer() {
  auto serializer = std::make_shared<QLJSONResponseSerializer>();
  serializer->setAcceptableContentTypes(std::set<std::string>{
      "application/json", "text/json", "text/javascript", "image/png", "image/jpeg", "image/jpg",
      "image/gif"});
  return serializer;
}

Error gone() { return qlURLError(kQLURLErrorCancelled, "cancelled"); }

}  // namespace

QLDownloadManager& QLDownloadManager::defaultManager() {
  return Once<QLDownloadManager>::instance([] {
    auto* manager = new QLDownloadManager(Environment::get("VEXA_API_BASE").value_or(""));
    manager->setFilesBaseURL(Environment::get("VEXA_FILES_BASE").value_or(""));
    return manager;
  });
}

QLDownloadManager::QLDownloadManager(std::string_view apiBaseURL, SecureItemStore* store)
    : QL_AFHTTPRequestOperationManager(apiBaseURL),
      deviceIdentifier_(store ? *store : SecureItemStore::shared()) {
  setRequestSerializer(std::make_shared<QLJSONRequestSerializer>());
  setResponseSerializer(serviceResponseSerializer());
}

Status QLDownloadManager::configure(std::string_view apiBaseURL, std::string_view hostName,
                                    std::string_view hostVersion) {
  if (!hostName.empty() || !hostVersion.empty()) {
    requestSerializer()->setUserAgent(
        hostName.empty() ? QLHTTPDefaultHeaders::executableName() : std::string(hostName),
        hostVersion.empty() ? std::string("0") : std::string(hostVersion));
  }
  return setBaseURL(apiBaseURL);
}

std::string QLDownloadManager::urlForRequestType(int64_t type) const {
  return baseURLString() + qlPathTemplateForRequestType(type).value_or("");
}

std::string QLDownloadManager::urlStrWithRequestType(int64_t type, const Value& params,
                                                     std::string_view special) {
  if (!special.empty()) return std::string(special);
  std::string pattern = qlPathTemplateForRequestType(type).value_or("");
  const Value* argument = params.find(kHTTPPathParamKey);
  size_t slot = pattern.find("%@");
  if (!argument || argument->isNull()) return pattern;
  if (slot == std::string::npos) return pattern;
  // "?" and "#" would cut the path short here, "/" would lead to another route.
  std::string escaped = UrlEscaping::escape(argument->description(), "?#/", {});
  return pattern.replace(slot, 2, escaped);
}

Value QLDownloadManager::generateFinalParamsWithCoreParams(const Value& params, int64_t type) {
  Value out = params.isDictionary() ? params : Value::dict();
  out["timestamp"] = Value(std::to_string(WallClock::millisecondsSince1970()));
  out["device_no"] = Value(ql_uniqueIdentifier());
  out["os"] = Value(Device::current().systemVersion);
  if (!userId_.empty()) out["app_uid"] = Value(userId_);
  if (!accessToken_.empty()) out["access_token"] = Value(accessToken_);
  out["signature"] = Value(signatureForParams(out, type));
  out.asDictionary()->erase(kHTTPPathParamKey);
  return out;
}

std::string QLDownloadManager::signatureForParams(const Value& params, int64_t) const {
  std::string pairs;
  std::string path;
  if (const auto* dict = params.asDictionary()) {
    for (const auto& [key, value] : *dict) {
      if (key == kHTTPPathParamKey) {
        path = value.description();
        continue;
      }
      if (!pairs.empty()) pairs.push_back('&');
      pairs += key;
      pairs.push_back('=');
      pairs += value.description();
    }
  }
  auto absolute = absoluteURLString(path);
  return Md5::upperHex((absolute ? *absolute : baseURLString() + path) + pairs);
}

QLDownloadManager::Operation QLDownloadManager::serviceOperation(std::string_view method,
                                                                 std::string_view path,
                                                                 const Value& params,
                                                                 Success success, Failure failure) {
  auto url = absoluteURLString(path);
  auto request = url ? requestSerializer()->requestWithMethod(method, *url, params)
                     : Result<QLURLRequest>(url.error());
  return operationForServiceRequest(std::move(request), std::move(success), std::move(failure));
}

QLDownloadManager::Operation QLDownloadManager::operationForServiceRequest(Result<QLURLRequest> request,
                                                                          Success success,
                                                                          Failure failure) {
  if (request) request->setPrivateQueryItemNames({"access_token", "secret", "signature"});
  return operationForRequest(std::move(request), std::move(success), std::move(failure));
}

void QLDownloadManager::fetchAccessTokenWithRefresh(bool refresh, TokenHandler handler) {
  VX_ASSERT_MAIN_THREAD();
  Value params = Value::dict({{"op", refresh ? "refresh" : "grant"},
                              {"appid", appId_},
                              {"secret", appSecret_}});
  auto op = serviceOperation(
      methodForRequestType(QLRequestTypeToken), QLRequestTypeDescription[QLRequestTypeToken], params,
      [this, alive = lifetime_.token(), handler](const Operation&, const Value& json) {
        if (alive.expired()) {
          if (handler) handler(gone());
          return;
        }
        auto parsed = QLResponseParser::parseResponse(json, QLRequestTypeToken);
        if (!parsed) {
          if (handler) handler(parsed.error());
          return;
        }
        const std::string* token = parsed->token();
        accessToken_ = token ? *token : std::string();
        if (handler) handler(Status::Ok());
      },
      [handler](const Operation&, const Error& error) {
        if (handler) handler(error);
      });
  operationQueue().addOperation(op);
}

void QLDownloadManager::sendRequest(int64_t type, std::optional<std::string> specialURLStr,
                                    const Value& params, CompletionHandler handler) {
  send(type, std::move(specialURLStr), params, std::move(handler), 0);
}

void QLDownloadManager::sendRequest(int64_t type, const Value& params, CompletionHandler handler) {
  send(type, std::nullopt, params, std::move(handler), 0);
}

void QLDownloadManager::send(int64_t type, std::optional<std::string> special, Value params,
                             CompletionHandler handler, int refreshRounds) {
  VX_ASSERT_MAIN_THREAD();
  if (!handler) handler = [](const Result<QLResponse>&) {};
  if (!qlIsKnownRequestType(type) && (!special || special->empty())) {
    handler(qlHTTPRequestError(kQLHTTPRequestErrorInvalidParameters,
                               "Unknown request type " + std::to_string(type)));
    return;
  }
  if (const Value* argument = params.find(kHTTPPathParamKey);
      argument && !argument->isNull() && qlRequestTypeTakesGuid(type) && (!special || special->empty())) {
    if (auto problem = qlGuidProblem(argument->description())) {
      handler(*problem);
      return;
    }
  }
  if (accessToken_.empty() && (appId_.empty() || appSecret_.empty())) {
    handler(qlErrorWithCode(kMissingCredentialsCode, "Please set appid or appSecret"));
    return;
  }
  withToken(false, [this, type, special = std::move(special), params = std::move(params), handler,
                    refreshRounds](const Status& status) {
    if (!status) {
      handler(status.error());
      return;
    }
    perform(type, special, params, handler, refreshRounds);
  });
}

void QLDownloadManager::withToken(bool refresh, TokenHandler then) {
  if (!accessToken_.empty()) {
    then(Status::Ok());
    return;
  }
  fetchAccessTokenWithRefresh(refresh, std::move(then));
}

void QLDownloadManager::perform(int64_t type, std::optional<std::string> special, Value params,
                                CompletionHandler handler, int refreshRounds) {
  Value core = params.isDictionary() ? params : Value::dict();
  std::string path = urlStrWithRequestType(type, params, special.value_or(""));
  core[kHTTPPathParamKey] = Value(path);
  Value final = generateFinalParamsWithCoreParams(core, type);
  auto op = serviceOperation(
      methodForRequestType(type), path, final,
      [this, alive = lifetime_.token(), type, special, params, handler,
       refreshRounds](const Operation&, const Value& json) {
        if (alive.expired()) {
          handler(gone());
          return;
        }
        auto parsed = QLResponseParser::parseResponse(json, type);
        if (parsed) {
          handler(parsed);
          return;
        }
        if (!isInvalidToken(parsed.error()) || refreshRounds >= kMaximumRefreshRounds) {
          handler(parsed);
          return;
        }
        fetchAccessTokenWithRefresh(true, [this, type, special, params, handler,
                                           refreshRounds](const Status& status) {
          if (!status) {
            handler(status.error());
            return;
          }
          // The same path again: a special path is part of the request.
          send(type, special, params, handler, refreshRounds + 1);
        });
      },
      [handler](const Operation&, const Error& error) { handler(error); });
  operationQueue().addOperation(op);
}

}  // namespace vexa
