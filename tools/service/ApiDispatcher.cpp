#include "service/ApiDispatcher.h"

#include <algorithm>
#include <cctype>

#include "vexa/platform/JsonCodec.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/Utf8.h"
#include "service/CatalogEndpoints.h"
#include "service/Envelope.h"
#include "service/LookupEndpoints.h"
#include "service/QueryString.h"
#include "service/ReportEndpoints.h"
#include "service/RequestSignature.h"
#include "service/TokenEndpoint.h"
#include "service/WireRecords.h"

namespace vexa::service {

namespace {

ApiDispatcher::Reply refuse(ServiceError code, std::string message, std::string route = {},
                            int status = 200) {
  return {status, Envelope::error(code, std::move(message)), std::move(route)};
}

bool isJsonContentType(std::string_view type) {
  std::string base(type.substr(0, type.find(';')));
  std::transform(base.begin(), base.end(), base.begin(), [](unsigned char c) { return std::tolower(c); });
  base.erase(base.find_last_not_of(" \t") + 1);
  return base == "application/json" || base == "text/json";
}

bool allDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The decoded segments of the relative path; none when one is not UTF-8.
std::optional<std::vector<std::string>> segments(std::string_view relative) {
  std::vector<std::string> out;
  for (size_t start = 0; start <= relative.size();) {
    size_t end = std::min(relative.find('/', start), relative.size());
    std::string segment = UrlEscaping::unescape(relative.substr(start, end - start));
    if (!Utf8::isValid(segment)) return std::nullopt;
    out.push_back(std::move(segment));
    start = end + 1;
  }
  return out;
}

// Checks the common parameters; the message of the first fault, or none.
std::optional<std::string> commonParameterFault(const Value::Dictionary& params) {
  auto text = [&params](const char* key) -> const std::string* {
    auto it = params.find(key);
    return it != params.end() && it->second.isString() ? it->second.asString() : nullptr;
  };
  auto ts = params.find("timestamp");
  bool timestampOk = ts != params.end() &&
                     ((ts->second.isString() && allDigits(*ts->second.asString())) ||
                      (ts->second.isInteger() && *ts->second.asInteger() >= 0));
  if (!timestampOk) return "\"timestamp\" must be milliseconds in decimal digits";
  const std::string* device = text("device_no");
  if (!device || device->empty()) return "\"device_no\" is required";
  if (!text("os")) return "\"os\" is required";
  if (!text(RequestSignature::kParameter)) return "\"signature\" is required";
  return std::nullopt;
}

}  // namespace

ApiDispatcher::ApiDispatcher(TokenRegistry& tokens, ReportBook& reports) : tokens_(tokens) {
  TokenEndpoint::install(router_, tokens);
  LookupEndpoints::install(router_);
  ReportEndpoints::install(router_, reports);
  CatalogEndpoints::install(router_);
}

ApiDispatcher::Reply ApiDispatcher::dispatch(const ApiRequest& request, const Catalog& catalog,
                                             const std::string& fallbackHost,
                                             const std::string& filesBase) const {
  std::string_view path = request.rawPath();
  if (!path.starts_with(kPrefix)) return refuse(ServiceError::kUnknownPath, "unknown API path", {}, 404);
  auto parts = segments(path.substr(std::string_view(kPrefix).size()));
  if (!parts) return refuse(ServiceError::kBadRequest, "the path is not UTF-8");
  auto match = router_.match(request.method, *parts);
  if (!match) return refuse(ServiceError::kUnknownPath, "unknown API path", {}, 404);
  const ApiRouter::Route& route = *match->route;
  if (!match->methodAllowed)
    return refuse(ServiceError::kMethodNotAllowed, "use " + route.method, route.pattern, 405);

  Value body;
  if (!request.body.empty()) {
    if (!isJsonContentType(request.contentType))
      return refuse(ServiceError::kBadRequest, "the body must be application/json", route.pattern);
    auto parsed = JsonCodec::parse(request.body);
    if (!parsed || !parsed->isDictionary())
      return refuse(ServiceError::kBadRequest, "the body is not a JSON object", route.pattern);
    body = std::move(*parsed);
  }
  auto query = QueryString::parse(request.rawQuery());
  if (!query) return refuse(ServiceError::kBadRequest, query.error().description(), route.pattern);

  WireRecords wire(filesBase);
  ApiCall call{catalog, wire, std::move(match->args), std::move(*query), std::move(body), {}};
  if (route.authenticated) {
    if (!call.params.count(RequestSignature::kParameter) && call.body.isDictionary() &&
        call.body.find(RequestSignature::kParameter)) {
      call.params = *call.body.asDictionary();
    }
    if (auto fault = commonParameterFault(call.params))
      return refuse(ServiceError::kBadRequest, *fault, route.pattern);
    std::string host = request.host.empty() ? fallbackHost : request.host;
    std::string url = "http://" + host + std::string(path);
    if (RequestSignature::compute(url, call.params) != call.text(RequestSignature::kParameter))
      return refuse(ServiceError::kBadSignature, "signature mismatch", route.pattern);
    auto appId = tokens_.use(call.text("access_token"));
    if (!appId) return refuse(ServiceError::kTokenInvalid, "access token is invalid or expired", route.pattern);
    call.appId = *appId;
  }
  return {200, route.handler(call), route.pattern};
}

}  // namespace vexa::service
