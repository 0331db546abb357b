#include "SignedClient.h"

#include <httplib.h>
#include <openssl/evp.h>

#include <cstdio>
#include <memory>

#include "vexa/platform/JsonCodec.h"

namespace vexa::test {

namespace {

bool mayStandInUrl(unsigned char c) {
  if (c <= 0x20 || c >= 0x7f) return false;
  return std::string_view("\"%<>[\\]^`{|}").find(static_cast<char>(c)) == std::string_view::npos;
}

std::string escape(std::string_view text, std::string_view alsoEscape) {
  std::string out;
  for (unsigned char c : text) {
    if (mayStandInUrl(c) && alsoEscape.find(static_cast<char>(c)) == std::string_view::npos) {
      out += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

SignedClient::Reply toReply(const httplib::Result& result) {
  SignedClient::Reply reply;
  if (!result) return reply;
  reply.ok = true;
  reply.status = result->status;
  reply.contentType = result->get_header_value("Content-Type");
  reply.body = result->body;
  auto json = JsonCodec::parse(reply.body);
  if (json) reply.json = *json;
  return reply;
}

}  // namespace

int64_t SignedClient::Reply::errorCode() const {
  const Value* code = json.find("error_code");
  return code && code->isInteger() ? *code->asInteger() : -1;
}

const Value::Array* SignedClient::Reply::dataList() const {
  const Value* list = json.find("data_list");
  return list ? list->asArray() : nullptr;
}

SignedClient::SignedClient(const service::EmoticonService& service)
    : host("127.0.0.1:" + std::to_string(service.port())), port_(service.port()) {}

SignedClient::Reply SignedClient::get(const std::string& target) {
  httplib::Client client("127.0.0.1", port_);
  client.set_url_encode(false);
  client.set_read_timeout(10, 0);
  return toReply(client.Get(target));
}

SignedClient::Reply SignedClient::post(const std::string& target, const std::string& body,
                                       const std::string& contentType) {
  httplib::Client client("127.0.0.1", port_);
  client.set_url_encode(false);
  client.set_read_timeout(10, 0);
  return toReply(client.Post(target, body, contentType));
}

std::string SignedClient::fetchToken(const std::string& op) {
  Reply reply = get(apiPath("token") + "?" + queryString({{"op", op}, {"appid", appId}, {"secret", secret}}));
  const Value* data = reply.data();
  const Value* t = data ? data->find("access_token") : nullptr;
  token = t && t->isString() ? *t->asString() : std::string();
  return token;
}

SignedClient::Params SignedClient::common() const {
  Params p{{"timestamp", "1718236800123"}, {"device_no", deviceNo}, {"os", os}};
  if (!userId.empty()) p["app_uid"] = userId;
  if (!token.empty()) p["access_token"] = token;
  return p;
}

std::string SignedClient::absoluteUrl(const std::string& relativePath) const {
  return "http://" + host + apiPath(relativePath);
}

SignedClient::Params SignedClient::signedParams(const std::string& relativePath, Params params) const {
  std::string text = absoluteUrl(relativePath);
  bool first = true;
  for (const auto& [key, value] : params) {  // std::map: byte-wise key order
    text += (first ? "" : "&") + key + "=" + value;
    first = false;
  }
  params["signature"] = md5Upper(text);
  return params;
}

SignedClient::Reply SignedClient::signedGet(const std::string& relativePath, Params extra) {
  Params params = common();
  params.insert(extra.begin(), extra.end());
  return get(apiPath(relativePath) + "?" + queryString(signedParams(relativePath, params)));
}

SignedClient::Reply SignedClient::signedPostQuery(const std::string& relativePath, const std::string& jsonBody) {
  return post(apiPath(relativePath) + "?" + queryString(signedParams(relativePath, common())), jsonBody);
}

SignedClient::Reply SignedClient::signedPostBody(const std::string& relativePath, Params extra) {
  Params params = common();
  params.insert(extra.begin(), extra.end());
  Value::Dictionary body;
  for (const auto& [k, v] : signedParams(relativePath, params)) body[k] = v;
  return post(apiPath(relativePath), JsonCodec::serialize(Value(std::move(body))));
}

std::string SignedClient::md5Upper(std::string_view text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr);
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    char byte[3];
    std::snprintf(byte, sizeof byte, "%02X", digest[i]);
    hex += byte;
  }
  return hex;
}

std::string SignedClient::escapePathArgument(std::string_view text) { return escape(text, ""); }

std::string SignedClient::escapeQueryPart(std::string_view text) { return escape(text, ":/?&=;+!@#$()',*"); }

std::string SignedClient::queryString(const Params& params) {
  std::string q;
  for (const auto& [key, value] : params) {
    if (!q.empty()) q += '&';
    q += escapeQueryPart(key) + "=" + escapeQueryPart(value);
  }
  return q;
}

}  // namespace vexa::test
