#include <gtest/gtest.h>

#include "FakeService.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/api/QLResponseParser.h"
#include "vexa/core/VXEmotionCentre.h"
#include "vexa/http/QLHTTPError.h"
#include "vexa/platform/JsonCodec.h"
#include "vexa/platform/MainQueue.h"
#include "support/MainQueueTesting.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

using test::FakeService;

struct Completion {
  int calls = 0;
  bool onMainThread = true;
  std::optional<QLResponse> result;
  std::optional<Error> error;
  QLDownloadManager::CompletionHandler handler() {
    return [this](const Result<QLResponse>& r) {
      ++calls;
      onMainThread = onMainThread && isMainThread();
      if (r.ok()) result = r.value(); else error = r.error();
    };
  }
  bool wait() {
    bool done = test::runUntil([this] { return calls > 0; });
    test::spin(std::chrono::milliseconds(50));  // a second call would show
    return done;
  }
};

// The signature the service expects for a request it received, rebuilt from
// the rules: MD5 of the absolute URL followed by the sorted pairs.
std::string expectedSignature(const std::string& origin, const test::LoopbackServer::Recorded& request,
                              const std::vector<std::pair<std::string, std::string>>& params) {
  std::map<std::string, std::string> sorted;
  for (const auto& [k, v] : params) {
    if (k != "signature") sorted[k] = v;
  }
  std::string pairs;
  for (const auto& [k, v] : sorted) pairs += (pairs.empty() ? "" : "&") + k + "=" + v;
  return test::md5Upper(origin + request.path + pairs);
}

class ClientTest : public ::testing::Test {
 protected:
  ClientTest() : store_(dir_ / "keychain"), manager_(service_.apiBase(), &store_) {
    manager_.setAppId("app-1");
    manager_.setAppSecret("s3cret");
  }
  test::TempDirectory dir_;
  SecureItemStore store_;
  FakeService service_;
  QLDownloadManager manager_;
};

TEST_F(ClientTest, FirstRequestGrantsATokenThenSendsSignedParameters) {
  service_.script("GET", "/api/v1/package/123/emojis",
                  {R"({"error_code":0,"data":{"guid":"123","emoticions":[{"guid":"e1"}]}})"});
  manager_.setUserId("user 7");
  Completion done;
  manager_.sendRequest(QLRequestTypePackageEmojis, Value::dict({{kHTTPPathParamKey, "123"}}), done.handler());
  ASSERT_TRUE(done.wait());
  EXPECT_EQ(done.calls, 1);
  EXPECT_TRUE(done.onMainThread);
  ASSERT_TRUE(done.result && done.result->emojis());
  EXPECT_EQ(done.result->emojis()->at(0)->guid(), "e1");
  EXPECT_EQ(manager_.accessToken(), "TOKEN-1");

  auto all = service_.server.requests();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].path, "/api/v1/token");
  EXPECT_EQ(all[0].method, "GET");
  EXPECT_EQ(all[0].query, "appid=app-1&op=grant&secret=s3cret") << "no common parameters, no signature";

  const auto& request = all[1];
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.path, "/api/v1/package/123/emojis");
  auto params = test::queryPairs(request.query);
  std::vector<std::string> keys;
  for (const auto& p : params) keys.push_back(p.first);
  EXPECT_EQ(keys, (std::vector<std::string>{"access_token", "app_uid", "device_no", "os", "signature",
                                            "timestamp"}));
  std::map<std::string, std::string> values(params.begin(), params.end());
  EXPECT_EQ(values["access_token"], "TOKEN-1");
  EXPECT_EQ(values["app_uid"], "user 7");
  EXPECT_EQ(values["device_no"], store_.password("qlemotion", "com.tarvel.qlsdk"));
  EXPECT_NE(request.query.find("app_uid=user%207"), std::string::npos) << "values are escaped on the wire";
  EXPECT_EQ(values["signature"], expectedSignature(service_.server.origin(), request, params));
}

TEST_F(ClientTest, PostsCarryTheParametersAsJson) {
  service_.script("POST", "/api/v1/emoji/codes", {R"({"error_code":0,"data_list":[{"a":1},{"a":2}]})"});
  manager_.setAccessToken("held");
  Completion done;
  manager_.sendRequest(QLRequestTypeEmojisByCodes, Value::dict({{"codes", Value::array({"x"})}}), done.handler());
  ASSERT_TRUE(done.wait());
  ASSERT_TRUE(done.result && done.result->value());
  EXPECT_EQ(done.result->value()->size(), 2u);
  EXPECT_EQ(service_.grants, 0) << "a held token needs no grant";
  auto seen = service_.server.requestsFor("/api/v1/emoji/codes");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].query, "");
  EXPECT_EQ(seen[0].header("Content-Type"), "application/json");
  auto body = JsonCodec::parse(seen[0].body);
  ASSERT_TRUE(body.ok());
  EXPECT_EQ(*body->find("codes"), Value::array({"x"}));
  EXPECT_EQ(*body->find("access_token"), Value("held"));
  EXPECT_FALSE(body->find(kHTTPPathParamKey));
  // The signature covers the pairs of the body, codes included.
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto& [k, v] : *body->asDictionary()) pairs.emplace_back(k, v.description());
  EXPECT_EQ(*body->find("signature")->asString(),
            expectedSignature(service_.server.origin(), seen[0], pairs));
}

TEST_F(ClientTest, InvalidTokenRefreshesOnceAndResends) {
  service_.script("GET", "/api/v1/category",
                  {R"({"error_code":30001,"message":"expired"})", R"({"error_code":0,"data_list":[{"guid":"c"}]})"});
  manager_.setAccessToken("stale");
  Completion done;
  manager_.sendRequest(QLRequestTypeCategory, Value(), done.handler());
  ASSERT_TRUE(done.wait());
  EXPECT_EQ(done.calls, 1);
  ASSERT_TRUE(done.result && done.result->categories());
  EXPECT_EQ(done.result->categories()->size(), 1u);
  EXPECT_EQ(service_.refreshes, 1);
  EXPECT_EQ(service_.grants, 0);
  auto sent = service_.server.requestsFor("/api/v1/category");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_NE(sent[0].query.find("access_token=stale"), std::string::npos);
  EXPECT_NE(sent[1].query.find("access_token=TOKEN-1"), std::string::npos);
  auto token = service_.server.requestsFor("/api/v1/token");
  ASSERT_EQ(token.size(), 1u);
  EXPECT_EQ(token[0].query, "appid=app-1&op=refresh&secret=s3cret");
}

TEST_F(ClientTest, RepeatedInvalidTokenEndsAfterTheRefreshCap) {
  service_.script("GET", "/api/v1/category", {R"({"error_code":30001,"message":"expired"})"});
  manager_.setAccessToken("stale");
  Completion done;
  manager_.sendRequest(QLRequestTypeCategory, Value(), done.handler());
  ASSERT_TRUE(done.wait());
  EXPECT_EQ(done.calls, 1);
  ASSERT_TRUE(done.error);
  EXPECT_EQ(done.error->domain(), kQLErrorDomain);
  EXPECT_EQ(done.error->code(), 30001);
  EXPECT_EQ(done.error->description(), "expired");
  EXPECT_EQ(service_.refreshes, QLDownloadManager::kMaximumRefreshRounds);
  EXPECT_EQ(service_.server.requestsFor("/api/v1/category").size(),
            size_t(QLDownloadManager::kMaximumRefreshRounds) + 1);
}

TEST_F(ClientTest, SpecialPathIsKeptWhenResending) {
  service_.script("GET", "/api/v1/custom/x",
                  {R"({"error_code":30001})", R"({"error_code":0,"data":{"ok":true}})"});
  manager_.setAccessToken("stale");
  Completion done;
  manager_.sendRequest(QLRequestTypePackage, std::string("custom/x"), Value::dict({{kHTTPPathParamKey, "9"}}),
                       done.handler());
  ASSERT_TRUE(done.wait());
  ASSERT_TRUE(done.result && done.result->value()) << (done.error ? done.error->toString() : "");
  EXPECT_EQ(service_.server.requestsFor("/api/v1/custom/x").size(), 2u);
  EXPECT_TRUE(service_.server.requestsFor("/api/v1/package/9").empty());
}

TEST_F(ClientTest, FailuresReachTheCaller) {
  service_.script("GET", "/api/v1/package/404", {R"({"error_code":40004,"message":"no such package"})"});
  service_.script("GET", "/api/v1/category", {R"({"oops":1})"}, "application/json", 500);
  service_.script("GET", "/api/v1/ad_banner/index", {"<html/>"}, "text/html");
  manager_.setAccessToken("held");
  struct Row {
    int64_t type;
    Value params;
    const char* domain;
    int64_t code;
    const char* description;
  } rows[] = {
      {QLRequestTypePackage, Value::dict({{kHTTPPathParamKey, "404"}}), kQLErrorDomain, 40004, "no such package"},
      {QLRequestTypeCategory, Value(), kQLHTTPResponseErrorDomain, kQLHTTPResponseErrorUnacceptableStatusCode,
       "Request failed: internal server error (500)"},
      {QLRequestTypeBanner, Value(), kQLHTTPResponseErrorDomain, kQLHTTPResponseErrorUnacceptableContentType,
       "Request failed: unacceptable content-type: text/html"},
  };
  for (const auto& row : rows) {
    Completion done;
    manager_.sendRequest(row.type, row.params, done.handler());
    ASSERT_TRUE(done.wait());
    EXPECT_EQ(done.calls, 1);
    ASSERT_TRUE(done.error) << row.type;
    EXPECT_EQ(done.error->domain(), row.domain);
    EXPECT_EQ(done.error->code(), row.code);
    EXPECT_EQ(done.error->description(), row.description);
  }
}

TEST_F(ClientTest, TokenFailuresStopTheRequest) {
  service_.setTokenAnswer(R"({"error_code":10002,"message":"bad secret"})");
  service_.script("GET", "/api/v1/category", {R"({"data_list":[]})"});
  Completion granted;
  manager_.sendRequest(QLRequestTypeCategory, Value(), granted.handler());
  ASSERT_TRUE(granted.wait());
  ASSERT_TRUE(granted.error);
  EXPECT_EQ(granted.error->code(), 10002);
  EXPECT_EQ(granted.error->description(), "bad secret");
  EXPECT_TRUE(service_.server.requestsFor("/api/v1/category").empty());
  EXPECT_EQ(manager_.accessToken(), "") << "a failed grant leaves no token";

  // A failed refresh after 30001 reports the refresh's error.
  manager_.setAccessToken("stale");
  service_.script("GET", "/api/v1/category", {R"({"error_code":30001})"});
  Completion refreshed;
  manager_.sendRequest(QLRequestTypeCategory, Value(), refreshed.handler());
  ASSERT_TRUE(refreshed.wait());
  ASSERT_TRUE(refreshed.error);
  EXPECT_EQ(refreshed.error->code(), 10002);
  EXPECT_EQ(refreshed.calls, 1);
}

TEST_F(ClientTest, MissingCredentialsFailBeforeSendRequestReturns) {
  QLDownloadManager bare(service_.apiBase(), &store_);
  Completion done;
  bare.sendRequest(QLRequestTypeCategory, Value(), done.handler());
  EXPECT_EQ(done.calls, 1) << "delivered synchronously";
  ASSERT_TRUE(done.error);
  EXPECT_EQ(done.error->domain(), kQLErrorDomain);
  EXPECT_EQ(done.error->code(), 8888);
  EXPECT_EQ(done.error->description(), "Please set appid or appSecret");
  bare.setAppId("only-id");
  bare.sendRequest(QLRequestTypeCategory, Value(), done.handler());
  EXPECT_EQ(done.calls, 2);
  test::spin();
  EXPECT_EQ(service_.server.requestCount(), 0u) << "nothing is sent";
}

TEST_F(ClientTest, ConcurrentRequestsEachCompleteOnce) {
  service_.script("GET", "/api/v1/checkpackage/new", {R"({"error_code":0,"data":{"n":1}})"});
  std::vector<std::unique_ptr<Completion>> all;
  for (int i = 0; i < 10; ++i) {
    all.push_back(std::make_unique<Completion>());
    manager_.sendRequest(QLRequestTypeCheckNewPackages, Value(), all.back()->handler());
  }
  ASSERT_TRUE(test::runUntil([&] {
    for (auto& c : all) if (c->calls == 0) return false;
    return true;
  }));
  test::spin(std::chrono::milliseconds(50));
  for (auto& c : all) {
    EXPECT_EQ(c->calls, 1);
    EXPECT_TRUE(c->onMainThread);
    EXPECT_TRUE(c->result.has_value());
  }
  // Each request without a token asked for its own.
  EXPECT_EQ(service_.grants, 10);
}

TEST(EmotionCentreCredentialsTest, SetAppIdLeadsToAGrantWithTheCredentials) {
  test::ScopedDataRoot root;
  FakeService service;
  service.script("GET", "/api/v1/category", {R"({"data_list":[]})"});
  auto& manager = QLDownloadManager::defaultManager();
  ASSERT_TRUE(manager.configure(service.apiBase(), "ChatApp", "3.0").ok());
  manager.setAccessToken("");
  VXEmotionCentre::defaultCentre().setAppId("host-app", "host-secret");
  Completion done;
  manager.sendRequest(QLRequestTypeCategory, Value(), done.handler());
  ASSERT_TRUE(done.wait());
  EXPECT_TRUE(done.result.has_value()) << (done.error ? done.error->toString() : "");
  auto token = service.server.requestsFor("/api/v1/token");
  ASSERT_EQ(token.size(), 1u);
  auto params = test::queryPairs(token[0].query);
  std::map<std::string, std::string> values(params.begin(), params.end());
  EXPECT_EQ(values["op"], "grant");
  EXPECT_EQ(values["appid"], "host-app");
  EXPECT_EQ(values["secret"], "host-secret");
  EXPECT_EQ(token[0].header("User-Agent").substr(0, 11), "ChatApp/3.0");
  manager.setAccessToken("");
  (void)manager.configure("");
}

TEST(EmotionCentreCredentialsTest, AnUnsupportedSchemeFailsWithoutShowingTheSecret) {
  test::ScopedDataRoot root;
  auto& manager = QLDownloadManager::defaultManager();
  ASSERT_TRUE(manager.configure("ftp://example.test/api").ok());
  manager.setAccessToken("");
  VXEmotionCentre::defaultCentre().setAppId("host-app", "s3cr3t-never-shown");
  Completion done;
  manager.sendRequest(QLRequestTypeCategory, Value(), done.handler());
  ASSERT_TRUE(done.wait());
  ASSERT_TRUE(done.error.has_value());
  EXPECT_NE(done.error->toString().find("ftp"), std::string::npos) << done.error->toString();
  EXPECT_EQ(done.error->toString().find("s3cr3t"), std::string::npos) << done.error->toString();
  (void)manager.configure("");
}

}  // namespace
}  // namespace vexa
