// Turns a method, a URL and parameters into a QLURLRequest.
//
// Parameters of "GET", "HEAD" and "DELETE" go into the URL's query (see
// QLQueryString), after "?" or after "&" when the URL has a query already.
// Parameters of other methods go into the body: this base class writes them
// form-encoded ("application/x-www-form-urlencoded"); subclasses choose
// another encoding (QLJSONRequestSerializer). A Content-Type the request
// already has is kept. Every request gets the default headers
// ("Accept-Language", "User-Agent" and whatever was added) unless it sets
// them itself, and the serializer's timeouts and size limit.
//
// Configure a serializer before sharing it; afterwards it is read-only and
// may be used from any thread.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/http/QLMultipartFormData.h"
#include "vexa/http/QLURLRequest.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class QLHTTPRequestSerializer {
 public:
  QLHTTPRequestSerializer();
  virtual ~QLHTTPRequestSerializer() = default;

  // Adds, replaces or (with none) removes a default header.
  void setDefaultHeader(std::string_view name, std::optional<std::string> value);
  const QLURLRequest::Headers& defaultHeaders() const { return defaultHeaders_; }
  std::optional<std::string> defaultHeader(std::string_view name) const;
  // Sets "User-Agent" from the host application's name and version.
  void setUserAgent(std::string_view appName, std::string_view appVersion);
  // Sets "Accept-Language" from a list of language tags, most preferred first.
  void setPreferredLanguages(const std::vector<std::string>& languages);

  double timeoutInterval() const { return timeoutInterval_; }
  void setTimeoutInterval(double seconds) { timeoutInterval_ = seconds; }
  double connectTimeout() const { return connectTimeout_; }
  void setConnectTimeout(double seconds) { connectTimeout_ = seconds; }
  int64_t maximumBodySize() const { return maximumBodySize_; }
  void setMaximumBodySize(int64_t bytes) { maximumBodySize_ = bytes; }

  // Methods (upper case) whose parameters travel in the URL.
  const std::set<std::string>& methodsEncodingParametersInURI() const { return methodsInURI_; }
  void setMethodsEncodingParametersInURI(std::set<std::string> methods) {
    methodsInURI_ = std::move(methods);
  }

  // A request for an absolute URL. Fails with kQLHTTPRequestErrorInvalidURL
  // when the URL does not parse, kQLHTTPRequestErrorInvalidParameters when
  // parameters are neither null nor a dictionary.
  Result<QLURLRequest> requestWithMethod(std::string_view method, std::string_view urlString,
                                         const Value& parameters) const;
  // The request with the default headers, limits and the parameters applied.
  virtual Result<QLURLRequest> requestBySerializingRequest(QLURLRequest request,
                                                           const Value& parameters) const;
  // A multipart request: the parameters become form fields (flattened like a
  // query string), then `build` appends its parts.
  Result<QLURLRequest> multipartFormRequestWithMethod(
      std::string_view method, std::string_view urlString, const Value& parameters,
      const std::function<void(QLMultipartFormData&)>& build) const;

 protected:
  // Writes parameters into the body of a method that does not carry them in
  // the URL, setting Content-Type unless the request has one.
  virtual void encodeBody(QLURLRequest& request, const Value& parameters) const;
  // Default headers, limits and method case; shared by all request kinds.
  void applyDefaults(QLURLRequest& request) const;

 private:
  QLURLRequest::Headers defaultHeaders_;
  double timeoutInterval_ = QLURLRequest::kDefaultTimeoutInterval;
  double connectTimeout_ = QLURLRequest::kDefaultConnectTimeout;
  int64_t maximumBodySize_ = QLURLRequest::kDefaultMaximumBodySize;
  std::set<std::string> methodsInURI_{"GET", "HEAD", "DELETE"};
};

}  // namespace vexa
