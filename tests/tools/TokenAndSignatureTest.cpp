// The token flow and the signature check, with requests signed by the
// tests' own code.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "ServiceFixture.h"
#include "vexa/platform/JsonCodec.h"
#include "service/RequestSignature.h"

namespace vexa::test {
namespace {

constexpr int64_t kTokenInvalid = 30001;
constexpr int64_t kBadSignature = 30002;
constexpr int64_t kBadRequest = 10001;
constexpr int64_t kBadCredentials = 10002;

TEST_F(ServiceTest, GrantAndRefreshIssueWorkingTokens) {
  std::string granted = client->fetchToken("grant");
  ASSERT_FALSE(granted.empty());
  EXPECT_EQ(client->signedGet("category").errorCode(), 0);
  std::string refreshed = client->fetchToken("refresh");
  ASSERT_FALSE(refreshed.empty());
  EXPECT_NE(granted, refreshed);
  EXPECT_EQ(client->signedGet("category").errorCode(), 0);
  EXPECT_EQ(service->tokens().issuedCount(), 2);
}

TEST_F(ServiceTest, TokenRequestRefusesBadCredentialsAndParameters) {
  struct Case {
    SignedClient::Params query;
    int64_t code;
  } cases[] = {
      {{{"op", "grant"}, {"appid", "vexa-demo"}, {"secret", "wrong"}}, kBadCredentials},
      {{{"op", "grant"}, {"appid", "nobody"}, {"secret", "vexa-demo-secret"}}, kBadCredentials},
      {{{"op", "grant"}, {"appid", "vexa-demo"}, {"secret", "vexa-demo-secre"}}, kBadCredentials},
      {{{"appid", "vexa-demo"}, {"secret", "vexa-demo-secret"}}, kBadRequest},
      {{{"op", "steal"}, {"appid", "vexa-demo"}, {"secret", "vexa-demo-secret"}}, kBadRequest},
      {{{"op", "grant"}, {"appid", "vexa-demo"}}, kBadRequest},
  };
  for (const auto& c : cases) {
    auto reply = client->get(client->apiPath("token") + "?" + SignedClient::queryString(c.query));
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.errorCode(), c.code) << reply.body;
    EXPECT_TRUE(reply.json.find("message")->isString());
  }
  EXPECT_EQ(service->tokens().issuedCount(), 0);
}

TEST_F(ServiceTest, MissingUnknownOrExpiredTokensAnswer30001) {
  EXPECT_EQ(client->signedGet("category").errorCode(), kTokenInvalid);  // no token at all
  client->token = "0123456789abcdef0123456789abcdef";
  EXPECT_EQ(client->signedGet("category").errorCode(), kTokenInvalid);

  client->fetchToken();
  service->tokens().setUsesBeforeExpiry(2);
  EXPECT_EQ(client->signedGet("category").errorCode(), 0);
  EXPECT_EQ(client->signedGet("ad_banner/index").errorCode(), 0);
  auto expired = client->signedGet("category");
  EXPECT_EQ(expired.errorCode(), kTokenInvalid);
  EXPECT_EQ(*expired.json.find("message")->asString(), "access token is invalid or expired");
  EXPECT_EQ(expired.json.find("data"), nullptr);

  client->fetchToken("refresh");
  EXPECT_EQ(client->signedGet("category").errorCode(), 0);

  service->tokens().expireAll();
  EXPECT_EQ(client->signedGet("category").errorCode(), kTokenInvalid);
}

TEST_F(ServiceTest, SignatureMustMatchWhatWasSent) {
  client->fetchToken();
  client->userId = "user 42";
  const std::string path = "package/pkg-mochi-cat";
  auto good = client->signedParams(path, client->common());
  ASSERT_EQ(client->get(client->apiPath(path) + "?" + SignedClient::queryString(good)).errorCode(), 0);

  struct Case {
    const char* what;
    std::function<std::string()> target;
    int64_t code;
  } cases[] = {
      {"a value changed after signing",
       [&] {
         auto p = good;
         p["app_uid"] = "user 43";
         return client->apiPath(path) + "?" + SignedClient::queryString(p);
       },
       kBadSignature},
      {"an unsigned parameter added",
       [&] {
         auto p = good;
         p["extra"] = "1";
         return client->apiPath(path) + "?" + SignedClient::queryString(p);
       },
       kBadSignature},
      {"signed for another path",
       [&] {
         return client->apiPath(path) + "?" +
                SignedClient::queryString(client->signedParams("package/pkg-robot", client->common()));
       },
       kBadSignature},
      {"signed for another host",
       [&] {
         SignedClient other = *client;
         other.host = "localhost:" + std::to_string(service->port());
         return client->apiPath(path) + "?" + SignedClient::queryString(other.signedParams(path, other.common()));
       },
       kBadSignature},
      {"lower-case hexadecimal",
       [&] {
         auto p = good;
         std::transform(p["signature"].begin(), p["signature"].end(), p["signature"].begin(), ::tolower);
         return client->apiPath(path) + "?" + SignedClient::queryString(p);
       },
       kBadSignature},
      {"no signature",
       [&] {
         auto p = good;
         p.erase("signature");
         return client->apiPath(path) + "?" + SignedClient::queryString(p);
       },
       kBadRequest},
      {"no timestamp",
       [&] {
         auto p = client->common();
         p.erase("timestamp");
         return client->apiPath(path) + "?" + SignedClient::queryString(client->signedParams(path, p));
       },
       kBadRequest},
      {"a timestamp that is no number",
       [&] {
         auto p = client->common();
         p["timestamp"] = "12:00";
         return client->apiPath(path) + "?" + SignedClient::queryString(client->signedParams(path, p));
       },
       kBadRequest},
      {"no device number",
       [&] {
         auto p = client->common();
         p.erase("device_no");
         return client->apiPath(path) + "?" + SignedClient::queryString(client->signedParams(path, p));
       },
       kBadRequest},
      {"a parameter given twice",
       [&] { return client->apiPath(path) + "?" + SignedClient::queryString(good) + "&os=x"; }, kBadRequest},
  };
  for (const auto& c : cases) {
    auto reply = client->get(c.target());
    EXPECT_EQ(reply.status, 200) << c.what;
    EXPECT_EQ(reply.errorCode(), c.code) << c.what << ": " << reply.body;
  }
  // A bad signature is refused before the token is counted.
  service->tokens().setUsesBeforeExpiry(2);
  EXPECT_EQ(client->get(cases[0].target()).errorCode(), kBadSignature);
  EXPECT_EQ(client->get(client->apiPath(path) + "?" + SignedClient::queryString(good)).errorCode(), 0);
}

TEST(RequestSignatureTest, SignedTextIsUrlThenSortedPairsWithoutQuestionMark) {
  Value::Dictionary params{{"timestamp", "1700000000000"}, {"os", "12"},      {"device_no", "DEV"},
                           {"app_uid", "u1"},              {"access_token", "tok"}, {"signature", "ignored"}};
  const std::string url = "http://127.0.0.1:8080/api/v1/package/123";
  const std::string expected =
      "http://127.0.0.1:8080/api/v1/package/123access_token=tok&app_uid=u1&device_no=DEV&os=12&timestamp=1700000000000";
  EXPECT_EQ(service::RequestSignature::signedText(url, params), expected);
  EXPECT_EQ(service::RequestSignature::compute(url, params), SignedClient::md5Upper(expected));

  // Upper-case keys sort before lower-case ones; values are used unescaped.
  Value::Dictionary mixed{{"b", "x y"}, {"B", "&"}, {"a", "中"}};
  EXPECT_EQ(service::RequestSignature::signedText("U", mixed), "UB=&&a=中&b=x y");
}

TEST_F(ServiceTest, EscapedAndUnescapedValuesVerifyTheSame) {
  client->fetchToken();
  client->userId = "张三+&=?/ #1";  // escaped in the query by the GET serializer
  EXPECT_EQ(client->signedGet("category").errorCode(), 0);

  // The POST forms put the common parameters in the query without escaping;
  // with plain values that must verify too, and a "+" stays a plus sign.
  client->userId = "a+b";
  auto params = client->signedParams("emoji/small_emo_code", client->common());
  std::string raw;
  for (const auto& [k, v] : params) raw += (raw.empty() ? "" : "&") + k + "=" + v;
  auto reply = client->post(client->apiPath("emoji/small_emo_code") + "?" + raw, R"({"codes":["smile"]})");
  EXPECT_EQ(reply.errorCode(), 0) << reply.body;
}

TEST_F(ServiceTest, BodySignedPostIsVerifiedAgainstItsBody) {
  client->fetchToken();
  const std::string path = "emoji/codes";
  auto params = client->common();
  std::string text = client->absoluteUrl(path);
  params["codes"] = R"(["微笑","hello"])";  // the array's text form in the signature
  bool first = true;
  for (const auto& [k, v] : params) {
    text += (first ? "" : "&") + k + "=" + v;
    first = false;
  }
  Value::Dictionary body;
  for (const auto& [k, v] : params) body[k] = v;
  body["codes"] = Value::array({"微笑", "hello"});
  body["signature"] = SignedClient::md5Upper(text);
  auto reply = client->post(client->apiPath(path), JsonCodec::serialize(Value(body)));
  ASSERT_EQ(reply.errorCode(), 0) << reply.body;
  ASSERT_NE(reply.dataList(), nullptr);
  EXPECT_EQ(reply.dataList()->size(), 2u);

  body["codes"] = Value::array({"微笑"});
  EXPECT_EQ(client->post(client->apiPath(path), JsonCodec::serialize(Value(body))).errorCode(), kBadSignature);
}

}  // namespace
}  // namespace vexa::test
