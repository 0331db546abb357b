// One HTTP request as the transport sends it: method, absolute URL, headers,
// body and the limits that govern its transfer.
//
// A plain value: copy it, change it, hand it to an operation. Header names
// compare without regard to case and keep the order in which they were
// first set.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexa {

class QLURLRequest {
 public:
  using Headers = std::vector<std::pair<std::string, std::string>>;

  static constexpr double kDefaultTimeoutInterval = 60;
  static constexpr double kDefaultConnectTimeout = 30;
  static constexpr int64_t kDefaultMaximumBodySize = int64_t(64) << 20;
  static constexpr int kDefaultMaximumRedirects = 10;

  QLURLRequest() = default;
  explicit QLURLRequest(std::string url, std::string method = "GET")
      : url_(std::move(url)), method_(std::move(method)) {}

  const std::string& url() const { return url_; }
  void setURL(std::string url) { url_ = std::move(url); }
  // Upper case by convention ("GET", "POST"); sent as given.
  const std::string& method() const { return method_; }
  void setMethod(std::string method) { method_ = std::move(method); }

  const Headers& headers() const { return headers_; }
  std::optional<std::string> header(std::string_view name) const;
  // Replaces a header of the same name (any case) or adds it at the end.
  void setHeader(std::string_view name, std::string value);
  void removeHeader(std::string_view name);

  const std::string& body() const { return body_; }
  bool hasBody() const { return hasBody_; }
  void setBody(std::string body) {
    body_ = std::move(body);
    hasBody_ = true;
  }

  // Seconds without any bytes moving after which the transfer fails with
  // kQLURLErrorTimedOut (a stalled server, a dead connection).
  double timeoutInterval() const { return timeoutInterval_; }
  void setTimeoutInterval(double seconds) { timeoutInterval_ = seconds; }
  // Seconds allowed for name lookup and connection set-up.
  double connectTimeout() const { return connectTimeout_; }
  void setConnectTimeout(double seconds) { connectTimeout_ = seconds; }
  // Upper bound on the whole transfer in seconds; 0 means none.
  double totalTimeout() const { return totalTimeout_; }
  void setTotalTimeout(double seconds) { totalTimeout_ = seconds; }

  // Largest body accepted, announced or received; more fails the transfer
  // with kQLURLErrorDataLengthExceedsMaximum.
  int64_t maximumBodySize() const { return maximumBodySize_; }
  void setMaximumBodySize(int64_t bytes) { maximumBodySize_ = bytes; }
  int maximumRedirects() const { return maximumRedirects_; }
  void setMaximumRedirects(int count) { maximumRedirects_ = count; }
  // When set, a redirect to another host name (any scheme or port of the
  // same name is fine) fails with kQLURLErrorRedirectRefused: for pages
  // that must stay on their own site.
  bool redirectsStayOnHost() const { return redirectsStayOnHost_; }
  void setRedirectsStayOnHost(bool on) { redirectsStayOnHost_ = on; }

  // Query item names (credentials, signatures) that a redirect never takes
  // to another host, even when the redirect's target names them.
  const std::set<std::string>& privateQueryItemNames() const { return privateQueryItemNames_; }
  void setPrivateQueryItemNames(std::set<std::string> names) {
    privateQueryItemNames_ = std::move(names);
  }

 private:
  std::string url_;
  std::string method_ = "GET";
  Headers headers_;
  std::string body_;
  bool hasBody_ = false;
  double timeoutInterval_ = kDefaultTimeoutInterval;
  double connectTimeout_ = kDefaultConnectTimeout;
  double totalTimeout_ = 0;
  int64_t maximumBodySize_ = kDefaultMaximumBodySize;
  int maximumRedirects_ = kDefaultMaximumRedirects;
  bool redirectsStayOnHost_ = false;
  std::set<std::string> privateQueryItemNames_;
};

// Case-insensitive comparison of ASCII header names.
bool qlHeaderNameEquals(std::string_view a, std::string_view b);

}  // namespace vexa
