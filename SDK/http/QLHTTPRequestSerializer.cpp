#include "vexa/http/QLHTTPRequestSerializer.h"

#include <algorithm>
#include <cctype>

#include "vexa/http/QLHTTPDefaultHeaders.h"
#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLQueryString.h"
#include "vexa/http/QLURL.h"

namespace vexa {
namespace {

std::string upper(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
  return out;
}

}  // namespace

QLHTTPRequestSerializer::QLHTTPRequestSerializer() {
  setPreferredLanguages(QLHTTPDefaultHeaders::preferredLanguages());
  setUserAgent(QLHTTPDefaultHeaders::executableName(), "0");
}

void QLHTTPRequestSerializer::setDefaultHeader(std::string_view name,
                                               std::optional<std::string> value) {
  auto it = std::find_if(defaultHeaders_.begin(), defaultHeaders_.end(),
                         [&](const auto& h) { return qlHeaderNameEquals(h.first, name); });
  if (!value) {
    if (it != defaultHeaders_.end()) defaultHeaders_.erase(it);
  } else if (it != defaultHeaders_.end()) {
    it->second = std::move(*value);
  } else {
    defaultHeaders_.emplace_back(std::string(name), std::move(*value));
  }
}

std::optional<std::string> QLHTTPRequestSerializer::defaultHeader(std::string_view name) const {
  for (const auto& [n, v] : defaultHeaders_) {
    if (qlHeaderNameEquals(n, name)) return v;
  }
  return std::nullopt;
}

void QLHTTPRequestSerializer::setUserAgent(std::string_view appName, std::string_view appVersion) {
  setDefaultHeader("User-Agent", QLHTTPDefaultHeaders::userAgent(appName, appVersion));
}

void QLHTTPRequestSerializer::setPreferredLanguages(const std::vector<std::string>& languages) {
  setDefaultHeader("Accept-Language", QLHTTPDefaultHeaders::acceptLanguage(languages));
}

Result<QLURLRequest> QLHTTPRequestSerializer::requestWithMethod(std::string_view method,
                                                                std::string_view urlString,
                                                                const Value& parameters) const {
  auto url = QLURL::parse(urlString);
  if (!url) return url.error();
  return requestBySerializingRequest(QLURLRequest(url->string(), std::string(method)), parameters);
}

void QLHTTPRequestSerializer::applyDefaults(QLURLRequest& request) const {
  request.setMethod(upper(request.method()));
  for (const auto& [name, value] : defaultHeaders_) {
    if (!request.header(name)) request.setHeader(name, value);
  }
  request.setTimeoutInterval(timeoutInterval_);
  request.setConnectTimeout(connectTimeout_);
  request.setMaximumBodySize(maximumBodySize_);
}

Result<QLURLRequest> QLHTTPRequestSerializer::requestBySerializingRequest(
    QLURLRequest request, const Value& parameters) const {
  if (!parameters.isNull() && !parameters.isDictionary()) {
    return qlHTTPRequestError(kQLHTTPRequestErrorInvalidParameters,
                              "Request parameters must be a dictionary");
  }
  applyDefaults(request);
  if (parameters.isNull()) return request;
  if (methodsInURI_.count(request.method())) {
    auto url = QLURL::parse(request.url());
    if (!url) return url.error();
    request.setURL(url->appendingQuery(QLQueryString::fromParameters(parameters)).string());
  } else {
    encodeBody(request, parameters);
  }
  return request;
}

void QLHTTPRequestSerializer::encodeBody(QLURLRequest& request, const Value& parameters) const {
  if (!request.header("Content-Type")) {
    request.setHeader("Content-Type", "application/x-www-form-urlencoded");
  }
  request.setBody(QLQueryString::fromParameters(parameters));
}

Result<QLURLRequest> QLHTTPRequestSerializer::multipartFormRequestWithMethod(
    std::string_view method, std::string_view urlString, const Value& parameters,
    const std::function<void(QLMultipartFormData&)>& build) const {
  if (!parameters.isNull() && !parameters.isDictionary()) {
    return qlHTTPRequestError(kQLHTTPRequestErrorInvalidParameters,
                              "Request parameters must be a dictionary");
  }
  auto url = QLURL::parse(urlString);
  if (!url) return url.error();
  QLURLRequest request(url->string(), std::string(method));
  applyDefaults(request);
  QLMultipartFormData form;
  for (const auto& pair : QLQueryString::pairs(parameters)) {
    form.appendPartWithFormData(pair.value->isNull() ? std::string() : pair.value->description(),
                                pair.key);
  }
  if (build) build(form);
  request.setHeader("Content-Type", form.contentType());
  request.setBody(form.body());
  return request;
}

}  // namespace vexa
