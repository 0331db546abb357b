#include "vexa/http/QLCurlTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cmath>

#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLURL.h"

namespace vexa {
namespace {

size_t headerCallback(char* data, size_t size, size_t count, void* self) {
  return static_cast<QLCurlTransfer*>(self)->handleHeaderLine(std::string_view(data, size * count));
}

size_t writeCallback(char* data, size_t size, size_t count, void* self) {
  return static_cast<QLCurlTransfer*>(self)->handleData(std::string_view(data, size * count));
}

int progressCallback(void* self, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
  static_cast<QLCurlTransfer*>(self)->handleProgress(downloaded, uploaded);
  return 0;
}

long milliseconds(double seconds) {
  if (!(seconds > 0)) return 0;
  return static_cast<long>(std::min(seconds * 1000.0, 1e9));
}

bool isRedirectStatus(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

QLCurlTransfer::QLCurlTransfer(uint64_t id, QLURLRequest request, QLSecurityPolicy policy,
                               QLHTTPTransferDelegate delegate)
    : id_(id),
      easy_(curl_easy_init()),
      request_(std::move(request)),
      originalURL_(request_.url()),
      policy_(std::move(policy)),
      delegate_(std::move(delegate)),
      lastActivity_(Clock::now()) {}

QLCurlTransfer::~QLCurlTransfer() {
  if (easy_) curl_easy_cleanup(static_cast<CURL*>(easy_));
  curl_slist_free_all(headerList_);
}

Status QLCurlTransfer::prepare() {
  CURL* easy = static_cast<CURL*>(easy_);
  if (!easy) return qlURLError(kQLURLErrorUnknown, "The HTTP engine could not start a transfer");
  curl_easy_reset(easy);
  curl_slist_free_all(headerList_);
  headerList_ = nullptr;
  resetHop();

  // Messages name where a request goes, never its query: that carries the
  // application's secret, the token and the signature.
  auto url = QLURL::parse(request_.url());
  if (!url) return qlURLError(kQLURLErrorBadURL, "The request's URL is not valid");
  std::string scheme = url->scheme();
  if (scheme != "http" && scheme != "https") {
    return qlURLError(kQLURLErrorUnsupportedURL, "Unsupported URL scheme \"" + scheme +
                                                     "\" (http or https only): " + scheme + "://" +
                                                     url->host() + url->path());
  }

  std::string urlText = url->string();
  curl_easy_setopt(easy, CURLOPT_URL, urlText.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer_);
  curl_easy_setopt(easy, CURLOPT_PRIVATE, this);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &headerCallback);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &writeCallback);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &progressCallback);
  curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_TCP_KEEPALIVE, 1L);

  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, milliseconds(request_.connectTimeout()));
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, milliseconds(request_.totalTimeout()));
  if (request_.maximumBodySize() > 0 && request_.method() != "HEAD") {
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(request_.maximumBodySize()));
  }

  // Verification stays on whatever the policy says; the policy can only
  // narrow trust (own authorities, pinned keys).
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(easy, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  if (policy_.certificateAuthorityFile()) {
    curl_easy_setopt(easy, CURLOPT_CAINFO, policy_.certificateAuthorityFile()->c_str());
  }
  std::string pins = policy_.pinnedPublicKeyOption();
  if (!pins.empty()) curl_easy_setopt(easy, CURLOPT_PINNEDPUBLICKEY, pins.c_str());

  const std::string& method = request_.method();
  if (method == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else if (method == "GET" && !request_.hasBody()) {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  } else {
    if (method != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    curl_easy_setopt(easy, CURLOPT_POST, 1L);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request_.body().size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request_.body().data());
  }

  for (const auto& [name, value] : request_.headers()) {
    if (name.empty() || hasLineBreak(name) || hasLineBreak(value) ||
        name.find(':') != std::string::npos) {
      return qlHTTPRequestError(kQLHTTPRequestErrorInvalidParameters,
                                "Header \"" + name + "\" cannot be sent as given");
    }
    std::string line = value.empty() ? name + ";" : name + ": " + value;
    headerList_ = curl_slist_append(headerList_, line.c_str());
  }
  // Bodies go at once; waiting for "100 Continue" only adds a round trip.
  headerList_ = curl_slist_append(headerList_, "Expect:");
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList_);
  return Status::Ok();
}

void QLCurlTransfer::resetHop() {
  head_.reset();
  status_ = 0;
  headComplete_ = false;
  redirecting_ = false;
  bodyBytes_ = 0;
  response_.reset();
  lastDownloaded_ = lastUploaded_ = 0;
  errorBuffer_[0] = '\0';
  lastActivity_ = Clock::now();
}

QLCurlTransfer::Clock::time_point QLCurlTransfer::idleDeadline() const {
  double seconds = request_.timeoutInterval() > 0 ? request_.timeoutInterval() : 1e9;
  return lastActivity_ + std::chrono::duration_cast<Clock::duration>(
                             std::chrono::duration<double>(std::min(seconds, 1e9)));
}

size_t QLCurlTransfer::handleHeaderLine(std::string_view line) {
  lastActivity_ = Clock::now();
  if (head_.feed(line) != QLResponseHeadParser::Line::EndOfHead) return line.size();
  return endOfHead() ? line.size() : 0;
}

bool QLCurlTransfer::endOfHead() {
  long status = head_.statusCode();
  if (status == 0) curl_easy_getinfo(static_cast<CURL*>(easy_), CURLINFO_RESPONSE_CODE, &status);
  if (status >= 100 && status < 200) {
    head_.reset();  // an interim head: the real one follows
    return true;
  }
  status_ = status;
  QLURLResponse response(request_.url(), status, head_.headers());
  if (isRedirectStatus(status) && response.header("Location")) {
    redirecting_ = true;  // its body is dropped; the next hop's head counts
    return true;
  }
  headComplete_ = true;
  response_ = response;
  int64_t expected = response.expectedContentLength();
  if (request_.method() != "HEAD" && request_.maximumBodySize() > 0 &&
      expected > request_.maximumBodySize()) {
    stopReason_ = qlURLError(kQLURLErrorDataLengthExceedsMaximum,
                             "The response announces " + std::to_string(expected) +
                                 " bytes, more than the maximum of " +
                                 std::to_string(request_.maximumBodySize()));
    return false;
  }
  if (delegate_.didReceiveResponse) {
    Status accepted = delegate_.didReceiveResponse(response);
    if (!accepted) {
      stopReason_ = accepted.error();
      return false;
    }
  }
  return true;
}

size_t QLCurlTransfer::handleData(std::string_view chunk) {
  lastActivity_ = Clock::now();
  bodyBytes_ += static_cast<int64_t>(chunk.size());
  if (request_.maximumBodySize() > 0 && bodyBytes_ > request_.maximumBodySize()) {
    stopReason_ = qlURLError(kQLURLErrorDataLengthExceedsMaximum,
                             "The response is larger than the maximum of " +
                                 std::to_string(request_.maximumBodySize()) + " bytes");
    return 0;
  }
  if (redirecting_) return chunk.size();
  if (!headComplete_) {
    stopReason_ = qlURLError(kQLURLErrorBadServerResponse, "The server sent a body without a head");
    return 0;
  }
  if (delegate_.didReceiveData) {
    Status accepted = delegate_.didReceiveData(chunk);
    if (!accepted) {
      stopReason_ = accepted.error();
      return 0;
    }
  }
  return chunk.size();
}

void QLCurlTransfer::handleProgress(int64_t downloaded, int64_t uploaded) {
  // Uploads count as activity too, so a slow but moving upload is no stall.
  if (downloaded != lastDownloaded_ || uploaded != lastUploaded_) {
    lastDownloaded_ = downloaded;
    lastUploaded_ = uploaded;
    lastActivity_ = Clock::now();
  }
}

QLCurlTransfer::Outcome QLCurlTransfer::finishHop(int curlCode) {
  if (stopReason_) {
    complete(stopReason_);
    return Outcome::Finished;
  }
  if (curlCode != CURLE_OK) {
    complete(errorForCode(curlCode));
    return Outcome::Finished;
  }
  if (redirecting_) {
    if (auto error = followRedirect()) {
      complete(std::move(error));
      return Outcome::Finished;
    }
    Status prepared = prepare();
    if (!prepared) {
      complete(prepared.error());
      return Outcome::Finished;
    }
    return Outcome::Redirected;
  }
  if (!headComplete_) {
    complete(qlURLError(kQLURLErrorBadServerResponse, "The server sent no response"));
    return Outcome::Finished;
  }
  complete(std::nullopt);
  return Outcome::Finished;
}

std::optional<Error> QLCurlTransfer::followRedirect() {
  if (++redirects_ > request_.maximumRedirects()) {
    return qlURLError(kQLURLErrorTooManyRedirects, "too many HTTP redirects");
  }
  char* location = nullptr;
  curl_easy_getinfo(static_cast<CURL*>(easy_), CURLINFO_REDIRECT_URL, &location);
  if (!location) {
    return qlURLError(kQLURLErrorBadServerResponse, "The server redirected to an unusable location");
  }
  auto current = QLURL::parse(request_.url());
  auto original = QLURL::parse(originalURL_);
  auto next = QLURL::parse(location);
  if (!current || !original || !next) {
    return qlURLError(kQLURLErrorBadServerResponse, "The server redirected to an unusable location");
  }
  std::string scheme = next->scheme();
  if (scheme != "http" && scheme != "https") {
    return qlURLError(kQLURLErrorRedirectRefused, "Redirect to a non-HTTP location refused");
  }
  if (current->scheme() == "https" && scheme == "http") {
    return qlURLError(kQLURLErrorRedirectRefused, "Redirect from HTTPS to HTTP refused");
  }
  if (request_.redirectsStayOnHost() && !qlHeaderNameEquals(next->host(), original->host())) {
    return qlURLError(kQLURLErrorRedirectRefused, "Redirect to another host refused");
  }
  // 303, and 301/302 after a POST, continue as a GET without the body.
  const std::string& method = request_.method();
  if ((status_ == 303 && method != "HEAD") ||
      ((status_ == 301 || status_ == 302) && method == "POST")) {
    QLURLRequest bare(request_.url(), "GET");
    bare.setTimeoutInterval(request_.timeoutInterval());
    bare.setConnectTimeout(request_.connectTimeout());
    bare.setTotalTimeout(request_.totalTimeout());
    bare.setMaximumBodySize(request_.maximumBodySize());
    bare.setMaximumRedirects(request_.maximumRedirects());
    bare.setRedirectsStayOnHost(request_.redirectsStayOnHost());
    bare.setPrivateQueryItemNames(request_.privateQueryItemNames());
    for (const auto& [name, value] : request_.headers()) {
      if (!qlHeaderNameEquals(name, "Content-Type") && !qlHeaderNameEquals(name, "Content-Length")) {
        bare.setHeader(name, value);
      }
    }
    request_ = std::move(bare);
  }
  QLURL target = *next;
  if (!next->sameOrigin(*original)) {
    if (request_.hasBody()) {
      return qlURLError(kQLURLErrorRedirectRefused,
                        "Redirect to another host would resend the request body");
    }
    target = next->removingQueryItems(request_.privateQueryItemNames());
    request_.removeHeader("Authorization");
    request_.removeHeader("Cookie");
  }
  request_.setURL(target.string());
  return std::nullopt;
}

Error QLCurlTransfer::errorForCode(int curlCode) const {
  auto code = static_cast<CURLcode>(curlCode);
  std::string detail = errorBuffer_[0] ? std::string(errorBuffer_) : curl_easy_strerror(code);
  auto make = [&](int64_t c, const char* text) {
    return qlURLError(c, std::string(text) + " (" + detail + ")");
  };
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return make(kQLURLErrorTimedOut, "The request timed out.");
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return make(kQLURLErrorCannotFindHost, "A server with the specified hostname could not be found.");
    case CURLE_COULDNT_CONNECT:
      return make(kQLURLErrorCannotConnectToHost, "Could not connect to the server.");
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_HTTP2_STREAM:
      return make(kQLURLErrorNetworkConnectionLost, "The network connection was lost.");
    case CURLE_UNSUPPORTED_PROTOCOL:
      return make(kQLURLErrorUnsupportedURL, "unsupported URL");
    case CURLE_URL_MALFORMAT:
      return make(kQLURLErrorBadURL, "bad URL");
    case CURLE_PEER_FAILED_VERIFICATION:
      return make(kQLURLErrorServerCertificateUntrusted, "The certificate for this server is invalid.");
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
      return make(kQLURLErrorPinnedKeyMismatch, "The server's public key does not match a pinned key.");
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_USE_SSL_FAILED:
      return make(kQLURLErrorSecureConnectionFailed,
                  "A secure connection to the server cannot be made.");
    case CURLE_FILESIZE_EXCEEDED:
      return make(kQLURLErrorDataLengthExceedsMaximum, "The response is larger than allowed.");
    case CURLE_TOO_MANY_REDIRECTS:
      return make(kQLURLErrorTooManyRedirects, "too many HTTP redirects");
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
      return make(kQLURLErrorBadServerResponse, "The server's response could not be read.");
    default:
      return make(kQLURLErrorUnknown, "The request failed.");
  }
}

void QLCurlTransfer::fail(Error error) { complete(std::move(error)); }

void QLCurlTransfer::complete(std::optional<Error> error) {
  if (completed_) return;
  completed_ = true;
  // Dropping the delegate afterwards releases whatever it keeps alive.
  auto done = std::move(delegate_.didComplete);
  delegate_ = {};
  if (done) done(response_, std::move(error));
}

}  // namespace vexa
