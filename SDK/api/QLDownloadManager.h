// The one client of the emoticon service.
//
// Names, assembles, signs and sends every request, holds the access token
// and unpacks the response envelope. Holds the host's credentials
// (application id and secret, user id) and the token in memory; the secret is
// never stored. It is the HTTP operation manager of the service's API base
// URL: requests run on its operation queue (at most four at a time) with the
// JSON request serializer and a JSON response serializer that also accepts
// image types. Package archives and images run on a download queue of their
// own (four at a time too), so that requests, token requests, reports and
// lookups never wait behind a slow or stalled file host.
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
// Further parts, in their own sources: the package downloads (default
// packages from their archives, one after another; single packages from
// their emoji list and missing images), the lookups of emojis by code
// (memory table, store, temporary emojis, then one request for the rest)
// and the usage reports (fire-and-forget). They work on packageCache().
//
// Threads: main thread only, except defaultManager(). Completion functions
// run on the main queue; the missing-credentials error (8888) is delivered
// before sendRequest() returns, and local lookups answer before they return.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vexa/api/QLDeviceIdentifier.h"
#include "vexa/api/QLRequestType.h"
#include "vexa/api/QLResponse.h"
#include "vexa/http/QL_AFHTTPRequestOperationManager.h"
#include "vexa/platform/Lifetime.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/SecureItemStore.h"
#include "vexa/platform/Value.h"
#include "vexa/store/QLPackage.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/store/VXEmoji.h"

namespace vexa {

class QLEmojiLookup;

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

  // --- Store ----------------------------------------------------------------
  // The store that downloads fill and lookups read: the shared one unless
  // another is set. Not owned; it must outlive the work of this manager.
  QLPackageCache& packageCache();
  void setPackageCache(QLPackageCache* cache) { packageCache_ = cache; }

  // --- Downloads --------------------------------------------------------------
  // Each ends by storing the package, reporting action 8 and setting its
  // progress to 1, then calls the completion with no error. A package the
  // store refuses (a thumbnail missing) is an error; one that is stored
  // already (a download that ran twice) is not. Nothing is stored on failure.
  using DownloadCompletion = std::function<void(const Status& status)>;
  using PackagePtr = std::shared_ptr<QLPackage>;

  // The default category's packages, marked default (packageType 2), each
  // installed from its archive, one after another. An empty list completes
  // at once without error.
  void downloadDefaultPackages(DownloadCompletion completion);
  // Installs packages[currentIndex...] from their archives in order and
  // stops at the first failure; the later packages are not requested.
  void downloadPackages(std::vector<PackagePtr> packages, size_t currentIndex,
                        DownloadCompletion completion);
  // Fetches "<guid>.zip" from the file host, unpacks it into the store, then
  // fetches the emoji list and stores the package.
  void downloadZipPackage(const PackagePtr& package, DownloadCompletion completion);
  // Fetches the emoji list, then every image the store lacks (one batch on
  // the operation queue, each streamed to its file under a temporary name
  // that replaces it only on success) and stores the package. Progress
  // starts at a head start for the images already held.
  void downloadPackage(const PackagePtr& package, DownloadCompletion completion);
  // Prepared, not started operations, one per image URL of the package
  // (main images and thumbnails in emoji order, then the tab icon; each URL
  // once) that the store does not hold yet; each adds its share to the
  // package's progress.
  std::vector<Operation> mainImgOperationsNeedDownloadForPackage(const PackagePtr& package);

  // Archive and image transfers of the package downloads; operationQueue()
  // carries everything else.
  QLOperationQueue& downloadQueue() { return downloadQueue_; }

  // Seconds without bytes after which a package download gives up (the
  // request serializer's own timeout unless set).
  void setDownloadTimeoutInterval(std::optional<double> seconds) { downloadTimeout_ = seconds; }

  // --- Lookups by code --------------------------------------------------------
  // Results hold one record per code found (codes nobody knows have none):
  // the device's first in input order, then the service's in its order.
  using VXEmojis = std::vector<std::shared_ptr<VXEmoji>>;
  using LookupCompletion = std::function<void(const Result<VXEmojis>& result)>;
  using LocalLookupCompletion = std::function<void(const VXEmojis& result)>;
  using EmojiMemoryTable = std::unordered_map<std::string, std::shared_ptr<QLEmoji>>;

  // Small emojis: the memory table, the small packages, the temporary small
  // emojis, then one request ("emoji/small_emo_code") with each unresolved
  // code once. Emojis from the service are saved as temporary emojis with
  // their images, so the next lookup of their codes is local. Answers
  // before returning when every code is known on the device.
  void fetchSmallEmojisByCodes(const std::vector<std::string>& codes, LookupCompletion completion);
  // The same for big emojis, without the memory table.
  void fetchBigEmojisByCodes(const std::vector<std::string>& codes, LookupCompletion completion);
  // Device-only lookups; the completion runs before they return.
  void fetchLocalEmojisByCodes(const std::vector<std::string>& codes,
                               LocalLookupCompletion completion);
  void fetchLocalSmallEmojisByCodes(const std::vector<std::string>& codes,
                                    LocalLookupCompletion completion);
  void fetchLocalBigEmojisByCodes(const std::vector<std::string>& codes,
                                  LocalLookupCompletion completion);
  // Small (and, through fetchLocalEmojisByCodes, any) emojis already looked
  // up, by code; lives as long as the manager.
  const EmojiMemoryTable& smallEmojiMemoryTable() const { return smallEmojiMemoryTable_; }
  void setSmallEmojiMemoryTable(EmojiMemoryTable table) { smallEmojiMemoryTable_ = std::move(table); }

  // --- Usage reports ----------------------------------------------------------
  // "view" (7, 10), "download" (8), "remove" (9), "send" (11), "receive"
  // (12), "favor" (13); none for other types.
  static std::optional<std::string> actionNameWithType(int64_t type);
  // The body of an emoji usage report; none unless the type is 10 to 13 and
  // both ids are given. An absent text is sent as "".
  static std::optional<Value> paramsForEmojiActionType(int64_t type, std::string_view packageId,
                                                       std::string_view emojiId,
                                                       std::optional<std::string_view> emojiText);
  // Sends a report in the background and forgets it: types 7 to 9 with
  // {kHTTPPathParamKey: guid}, types 10 to 13 with a usage body.
  void logAction(int64_t type, const Value& params);
  // Reports sent and not yet answered (a tool waits for them before it exits).
  size_t pendingReportCount() const { return pendingReports_->load(); }

 private:
  friend class QLEmojiLookup;
  using Counter = std::shared_ptr<std::atomic<size_t>>;

  // The service's answer to an expired or unknown access token.
  static bool isInvalidToken(const Error& error) {
    return error.domain() == kQLErrorDomain && error.code() == kInvalidTokenCode;
  }
  // `then` at once with success when a token is held, else after fetching
  // one ("refresh" or "grant" as asked).
  void withToken(bool refresh, TokenHandler then);

  void send(int64_t type, std::optional<std::string> special, Value params,
            CompletionHandler handler, int refreshRounds);
  void perform(int64_t type, std::optional<std::string> special, Value params,
               CompletionHandler handler, int refreshRounds);

  // A POST of `body` as JSON to the service path, with the common parameters
  // (signed over the path) in its query; the body is not signed.
  Operation signedJSONPostOperation(int64_t type, std::string_view path, const Value& body,
                                    Success success, Failure failure);
  // operationForRequest() with the credentials of the query marked private.
  Operation operationForServiceRequest(Result<QLURLRequest> request, Success success, Failure failure);
  void logUsage(int64_t type, const Value& params, int refreshRounds);

  // A GET of an absolute URL for a package download, with the download timeout.
  Result<QLURLRequest> downloadRequest(std::string_view url) const;
  // The unpacked archive's emojis placed, then the package stored.
  void finishZipPackage(const PackagePtr& package, const Result<QLResponse>& emojis,
                        const DownloadCompletion& completion);
  // On the global queue: `prepare` (when given), then the store; then on the
  // main queue: reports action 8, sets the progress to 1 and completes. A
  // package the store refuses is an error; one it held already is not.
  void storeDownloadedPackage(const PackagePtr& package, DownloadCompletion completion,
                              std::function<Status()> prepare = nullptr);

  std::string appId_;
  std::string appSecret_;
  std::string userId_;
  std::string accessToken_;
  std::string filesBaseURL_;
  QLDeviceIdentifier deviceIdentifier_;
  QLPackageCache* packageCache_ = nullptr;
  std::optional<double> downloadTimeout_;
  QLOperationQueue downloadQueue_;
  EmojiMemoryTable smallEmojiMemoryTable_;
  Counter pendingReports_ = std::make_shared<std::atomic<size_t>>(0);
  // Expires with the manager; answers that arrive later find it gone.
  Lifetime lifetime_;
};

}  // namespace vexa
