// One transfer inside QLHTTPTransport: a libcurl easy handle configured from
// a QLURLRequest, the parsing of response heads, the body limit and the
// redirect policy. Internal to the HTTP layer; lives on the transport's
// thread only.
//
// Redirects are followed here rather than by libcurl so that each hop can be
// checked: at most request.maximumRedirects() of them, only to http or https,
// never from https down to http, and a hop to another origin carries no body
// and none of the request's private query items.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/http/QLHTTPTransferDelegate.h"
#include "vexa/http/QLResponseHeadParser.h"
#include "vexa/http/QLSecurityPolicy.h"
#include "vexa/http/QLURLRequest.h"
#include "vexa/http/QLURLResponse.h"

struct curl_slist;

namespace vexa {

class QLCurlTransfer {
 public:
  using Clock = std::chrono::steady_clock;
  enum class Outcome { Redirected, Finished };

  QLCurlTransfer(uint64_t id, QLURLRequest request, QLSecurityPolicy policy,
                 QLHTTPTransferDelegate delegate);
  ~QLCurlTransfer();
  QLCurlTransfer(const QLCurlTransfer&) = delete;
  QLCurlTransfer& operator=(const QLCurlTransfer&) = delete;

  uint64_t id() const { return id_; }
  // The libcurl easy handle (a CURL*).
  void* easy() const { return easy_; }

  // Configures the handle for the current hop.
  Status prepare();
  // libcurl finished the current hop with `curlCode`. Either the next hop is
  // prepared (Redirected: add the handle again) or the delegate has been told
  // the outcome (Finished).
  Outcome finishHop(int curlCode);
  // Ends the transfer with an error (cancellation, time-out, shutdown).
  void fail(Error error);

  // When the transfer counts as stalled unless bytes move before then.
  Clock::time_point idleDeadline() const;

  // libcurl callbacks; a return other than the size given stops the transfer.
  size_t handleHeaderLine(std::string_view line);
  size_t handleData(std::string_view chunk);
  void handleProgress(int64_t downloaded, int64_t uploaded);

 private:
  bool endOfHead();
  void resetHop();
  // Prepares the next hop; an error ends the transfer.
  std::optional<Error> followRedirect();
  Error errorForCode(int curlCode) const;
  void complete(std::optional<Error> error);

  const uint64_t id_;
  void* easy_;
  QLURLRequest request_;
  const std::string originalURL_;
  const QLSecurityPolicy policy_;
  QLHTTPTransferDelegate delegate_;
  struct curl_slist* headerList_ = nullptr;
  char errorBuffer_[256] = {};

  int redirects_ = 0;
  Clock::time_point lastActivity_;
  int64_t lastDownloaded_ = 0;
  int64_t lastUploaded_ = 0;

  // The current hop's response head.
  QLResponseHeadParser head_;
  long status_ = 0;
  bool headComplete_ = false;
  bool redirecting_ = false;
  int64_t bodyBytes_ = 0;
  std::optional<QLURLResponse> response_;
  // Set by a callback that stopped the transfer; wins over libcurl's code.
  std::optional<Error> stopReason_;
  bool completed_ = false;
};

}  // namespace vexa
