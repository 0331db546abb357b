// A client of the reference service for tests, written apart from the
// SDK's own request code: it escapes, orders and signs requests itself
// (MD5 through OpenSSL), so that the service is checked against the wire
// form and not against the code it shares with the SDK.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "vexa/platform/Value.h"
#include "service/EmoticonService.h"

namespace vexa::test {

class SignedClient {
 public:
  struct Reply {
    bool ok = false;  // false: no complete HTTP answer (connection dropped...)
    int status = 0;
    std::string contentType;
    std::string body;
    Value json;  // the body as JSON, null when it is none

    int64_t errorCode() const;
    const Value* data() const { return json.find("data"); }
    const Value::Array* dataList() const;
  };
  using Params = std::map<std::string, std::string>;

  explicit SignedClient(const service::EmoticonService& service);

  Reply get(const std::string& target);
  Reply post(const std::string& target, const std::string& body,
             const std::string& contentType = "application/json");

  // Requests a token ("grant" or "refresh") and keeps it; empty on failure.
  std::string fetchToken(const std::string& op = "grant");

  // The common parameters with the current token, without the signature.
  Params common() const;
  // Adds the signature for the absolute URL of the relative (escaped) path.
  Params signedParams(const std::string& relativePath, Params params) const;
  // GET of a relative path under /api/v1/ with the signed parameters in the
  // query, escaped like the SDK's query serializer.
  Reply signedGet(const std::string& relativePath, Params extra = {});
  // POST with the signed common parameters in the query and a JSON body.
  Reply signedPostQuery(const std::string& relativePath, const std::string& jsonBody);
  // POST with every parameter, the signature included, in the JSON body.
  Reply signedPostBody(const std::string& relativePath, Params extra);

  std::string apiPath(const std::string& relativePath) const { return "/api/v1/" + relativePath; }
  std::string absoluteUrl(const std::string& relativePath) const;

  static std::string md5Upper(std::string_view text);
  // What a path argument becomes: bytes that may not stand in a URL are
  // escaped, reserved characters stay.
  static std::string escapePathArgument(std::string_view text);
  // A query key or value: as above, and ":/?&=;+!@#$()',*" escaped as well.
  static std::string escapeQueryPart(std::string_view text);
  static std::string queryString(const Params& params);

  std::string token;
  std::string appId = service::EmoticonService::kDemoAppId;
  std::string secret = service::EmoticonService::kDemoAppSecret;
  std::string deviceNo = "5B1F2C3D-0000-4000-8000-00000000ABCD";
  std::string os = "6.1.0-test";
  std::string userId;
  std::string host;  // "127.0.0.1:<port>", as the Host header carries it

 private:
  int port_;
};

}  // namespace vexa::test
