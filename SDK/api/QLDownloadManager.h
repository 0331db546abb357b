// The one client of the emoticon service.
//
// Names, assembles, signs and sends every request, holds the access token
// and unpacks the response envelope. Holds the host's credentials
// (application id and secret, user id) and the token in memory; the secret is
// never stored. It is the HTTP operation manager of the service's API base
// URL: requests run on its operation queue (at most four at a time) with the
// JSON request serializer and a JSON response serializer that also accepts
// image types.
//
// Configuration: defaultManager() starts with the API base URL of the
// environment variable VEXA_API_BASE (and the package-file base URL of
// VEXA_FILES_BASE); a host or tool calls configure() before the first request.
//
// Request assembly, for the record: the relative path of a type is its
// template with the escaped kHTTPPathParamKey argument; the sent parameters
// are the caller's plus "timestamp", "device_no", "os", "app_uid" (with a
// user id), "access_token" (with a token) and "signature", the upper-case MD5
// of the absolute URL followed directly by the sorted "key=value" pairs
// joined with "&". GET parameters travel in the query, POST parameters as a
// JSON body.
//
// Threads: main thread only, except defaultManager(). Completion functions
// run on the main queue; the missing-credentials error (8888) is delivered
// before sendRequest() returns.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "api/QLDeviceIdentifier.h"
#include "api/QLRequestType.h"
#include "api/QLResponse.h"
#include "http/QL_AFHTTPRequestOperationManager.h"
#include "platform/Result.h"
#include "platform/SecureItemStore.h"
#include "platform/Value.h"

namespace vexa {

class QLDownloadManager : public QL_AFHTTPRequestOperationManager {
 public:
  // Exactly one of result and error; nil results are QLResponse::isNil().
  using CompletionHandler = std::function<void(const Result<QLResponse>& result)>;
  using TokenHandler = std::function<void(const Status& status)>;

  // Code of the error reported when neither a token nor credentials are held.
  static constexpr int64_t kMissingCredentialsCode = 8888;
  // Code by which the service rejects an invalid or expired access token.
  static constexpr int64_t kInvalidTokenCode = 30001;
  // Token refreshes for one request before its 30001 is reported: a service
  // that keeps answering 30001 must not make the client loop for ever.
  static constexpr int kMaximumRefreshRounds = 2;

  static QLDownloadManager& defaultManager();

  // A manager of its own (tests, tools): API base URL, and the store that
  // keeps the device identifier (the shared one when none).
  explicit QLDownloadManager(std::string_view apiBaseURL = {}, SecureItemStore* store = nullptr);

  // Points the client at the service (its path ends in "/api/v1") and names
  // the host application in the User-Agent (the executable's name when empty).
  Status configure(std::string_view apiBaseURL, std::string_view hostName = {},
                   std::string_view hostVersion = {});
  // Base URL of the package file host; the downloads use it.
  const std::string& filesBaseURL() const { return filesBaseURL_; }
  void setFilesBaseURL(std::string url) { filesBaseURL_ = std::move(url); }

  const std::string& appId() const { return appId_; }
  void setAppId(std::string v) { appId_ = std::move(v); }
  const std::string& appSecret() const { return appSecret_; }
  void setAppSecret(std::string v) { appSecret_ = std::move(v); }
  const std::string& userId() const { return userId_; }
  void setUserId(std::string v) { userId_ = std::move(v); }
  const std::string& accessToken() const { return accessToken_; }
  void setAccessToken(std::string v) { accessToken_ = std::move(v); }

  // Request assembly.
  static std::string methodForRequestType(int64_t type) { return qlMethodForRequestType(type); }
  // The base URL with the type's template appended.
  std::string urlForRequestType(int64_t type) const;
  // The relative path: `special` when not empty; else the template with the
  // escaped kHTTPPathParamKey argument when the parameters hold one; else the
  // bare template ("%@" included).
  static std::string urlStrWithRequestType(int64_t type, const Value& params, std::string_view special);
  // The parameters as sent: common parameters and signature added,
  // kHTTPPathParamKey (the relative path, read by the signature) removed.
  Value generateFinalParamsWithCoreParams(const Value& params, int64_t type);
  // Upper-case MD5 of the absolute URL of the kHTTPPathParamKey path followed
  // by the sorted "key=value" pairs joined with "&".
  std::string signatureForParams(const Value& params, int64_t type) const;
  std::string ql_uniqueIdentifier() { return deviceIdentifier_.identifier(); }

  // Sends one request, first fetching a token when none is held. After a
  // 30001 answer the token is refreshed and the request sent again, at most
  // kMaximumRefreshRounds times.
  void sendRequest(int64_t type, std::optional<std::string> specialURLStr, const Value& params,
                   CompletionHandler handler);
  void sendRequest(int64_t type, const Value& params, CompletionHandler handler);
  // Requests a token ("op" "refresh" or "grant") and keeps it.
  void fetchAccessTokenWithRefresh(bool refresh, TokenHandler handler);

  // A prepared operation for the service, with the credentials of its query
  // marked private (a redirect to another host never carries them).
  Operation serviceOperation(std::string_view method, std::string_view path, const Value& params,
                             Success success, Failure failure);

 private:
  void send(int64_t type, std::optional<std::string> special, Value params,
            CompletionHandler handler, int refreshRounds);
  void perform(int64_t type, std::optional<std::string> special, Value params,
               CompletionHandler handler, int refreshRounds);

  std::string appId_;
  std::string appSecret_;
  std::string userId_;
  std::string accessToken_;
  std::string filesBaseURL_;
  QLDeviceIdentifier deviceIdentifier_;
  // Expires with the manager; answers that arrive later find it gone.
  std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
};

}  // namespace vexa
