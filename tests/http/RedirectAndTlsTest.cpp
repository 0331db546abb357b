#include <gtest/gtest.h>

#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLJSONRequestSerializer.h"
#include "vexa/http/QL_AFHTTPRequestOperationManager.h"
#include "support/LoopbackServer.h"
#include "support/OperationOutcome.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

using test::LoopbackServer;
using test::OperationOutcome;

std::shared_ptr<OperationOutcome> run(QL_AFHTTPRequestOperationManager& manager, const char* method,
                                      const std::string& url, const Value& params = Value(),
                                      std::function<void(QLURLRequest&)> adjust = nullptr) {
  auto request = manager.requestSerializer()->requestWithMethod(method, url, params);
  EXPECT_TRUE(request.ok());
  if (adjust) adjust(*request);
  auto op = manager.HTTPRequestOperationWithRequest(*request, nullptr, nullptr);
  auto outcome = OperationOutcome::attach(op);
  manager.operationQueue().addOperation(op);
  EXPECT_TRUE(outcome->wait());
  return outcome;
}

void json(httplib::Response& res, const std::string& body) { res.set_content(body, "application/json"); }

class RedirectTest : public ::testing::Test {
 protected:
  RedirectTest() { manager_.setRequestSerializer(std::make_shared<QLJSONRequestSerializer>()); }
  LoopbackServer home_, other_;
  QL_AFHTTPRequestOperationManager manager_;
};

TEST_F(RedirectTest, RedirectLoopStopsAtTheCap) {
  home_.on("GET", "/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
  auto outcome = run(manager_, "GET", home_.origin() + "/loop", Value(),
                     [](QLURLRequest& r) { r.setMaximumRedirects(3); });
  ASSERT_EQ(outcome->failures, 1);
  EXPECT_EQ(outcome->error->code(), kQLURLErrorTooManyRedirects);
  EXPECT_EQ(home_.requestCount(), 4u) << "the first request and three redirects";
}

TEST_F(RedirectTest, ARequestKeptOnItsHostRefusesARedirectToAnotherHostName) {
  std::string elsewhere = "http://localhost:" + std::to_string(other_.port()) + "/land";
  home_.on("GET", "/away", [&](const httplib::Request&, httplib::Response& res) { res.set_redirect(elsewhere); });
  home_.on("GET", "/near", [&](const httplib::Request&, httplib::Response& res) {
    res.set_redirect(other_.origin() + "/land", 303);  // same host name, another port
  });
  other_.on("GET", "/land", [](const httplib::Request&, httplib::Response& res) { json(res, "{}"); });
  auto stay = [](QLURLRequest& r) { r.setRedirectsStayOnHost(true); };
  auto away = run(manager_, "GET", home_.origin() + "/away", Value(), stay);
  ASSERT_EQ(away->failures, 1);
  EXPECT_EQ(away->error->code(), kQLURLErrorRedirectRefused);
  EXPECT_TRUE(other_.requestsFor("/land").empty());
  EXPECT_EQ(run(manager_, "GET", home_.origin() + "/near", Value(), stay)->successes, 1);
}

TEST_F(RedirectTest, AnotherHostGetsNoPrivateQueryItemsAndNoBody) {
  std::string land = other_.origin() + "/land?access_token=T&keep=1&signature=S";
  home_.on("GET", "/start", [&](const httplib::Request&, httplib::Response& res) { res.set_redirect(land); });
  home_.on("GET", "/same", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("/here?access_token=T");
  });
  home_.on("GET", "/here", [](const httplib::Request&, httplib::Response& res) { json(res, "{}"); });
  other_.on("GET", "/land", [](const httplib::Request&, httplib::Response& res) { json(res, "{\"x\":1}"); });
  auto privateNames = [](QLURLRequest& r) { r.setPrivateQueryItemNames({"access_token", "signature"}); };

  auto crossed = run(manager_, "GET", home_.origin() + "/start", Value::dict({{"access_token", "T"}}), privateNames);
  ASSERT_EQ(crossed->successes, 1) << (crossed->error ? crossed->error->toString() : "");
  EXPECT_EQ(crossed->object, Value::dict({{"x", 1}}));
  auto landed = other_.requestsFor("/land");
  ASSERT_EQ(landed.size(), 1u);
  EXPECT_EQ(landed[0].query, "keep=1");

  auto same = run(manager_, "GET", home_.origin() + "/same", Value(), privateNames);
  ASSERT_EQ(same->successes, 1);
  EXPECT_EQ(home_.requestsFor("/here").at(0).query, "access_token=T") << "the same host keeps them";

  // A 307 would resend the body, which carries the credentials of a POST.
  home_.on("POST", "/post", [&](const httplib::Request&, httplib::Response& res) {
    res.set_redirect(other_.origin() + "/land", 307);
  });
  auto post = run(manager_, "POST", home_.origin() + "/post", Value::dict({{"access_token", "T"}}));
  ASSERT_EQ(post->failures, 1);
  EXPECT_EQ(post->error->code(), kQLURLErrorRedirectRefused);
  EXPECT_EQ(other_.requestsFor("/land").size(), 1u);

  // 303 turns a POST into a GET without a body.
  home_.on("POST", "/see", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/here", 303); });
  auto seeOther = run(manager_, "POST", home_.origin() + "/see", Value::dict({{"a", 1}}));
  ASSERT_EQ(seeOther->successes, 1);
  auto here = home_.requestsFor("/here");
  EXPECT_EQ(here.back().method, "GET");
  EXPECT_EQ(here.back().body, "");
}

class TlsTest : public ::testing::Test {
 protected:
  TlsTest()
      : certificate_(test::TestCertificate::create(dir_.path())),
        secure_(certificate_.certificate, certificate_.key) {
    secure_.on("GET", "/hello", [](const httplib::Request&, httplib::Response& res) { json(res, "{\"tls\":true}"); });
  }
  QLSecurityPolicy trusting() const {
    QLSecurityPolicy policy;
    policy.setCertificateAuthorityFile(certificate_.certificate);
    return policy;
  }
  test::TempDirectory dir_;
  test::TestCertificate certificate_;
  LoopbackServer secure_;
  LoopbackServer plain_;
  QL_AFHTTPRequestOperationManager manager_;
};

TEST_F(TlsTest, CertificatesAreVerifiedAndPinsEnforced) {
  auto untrusted = run(manager_, "GET", secure_.origin() + "/hello");
  ASSERT_EQ(untrusted->failures, 1);
  EXPECT_EQ(untrusted->error->code(), kQLURLErrorServerCertificateUntrusted) << untrusted->error->toString();

  manager_.setSecurityPolicy(trusting());
  EXPECT_EQ(run(manager_, "GET", secure_.origin() + "/hello")->successes, 1);

  auto pin = QLSecurityPolicy::publicKeyHashOfCertificate(certificate_.certificatePem);
  ASSERT_TRUE(pin.ok());
  QLSecurityPolicy pinned = trusting();
  ASSERT_TRUE(pinned.addPinnedPublicKeyHash(*pin).ok());
  manager_.setSecurityPolicy(pinned);
  EXPECT_EQ(run(manager_, "GET", secure_.origin() + "/hello")->successes, 1);

  QLSecurityPolicy wrong = trusting();
  ASSERT_TRUE(wrong.addPinnedPublicKeyHash("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=").ok());
  EXPECT_FALSE(wrong.addPinnedPublicKeyHash("short").ok());
  manager_.setSecurityPolicy(wrong);
  auto mismatch = run(manager_, "GET", secure_.origin() + "/hello");
  ASSERT_EQ(mismatch->failures, 1);
  EXPECT_EQ(mismatch->error->code(), kQLURLErrorPinnedKeyMismatch) << mismatch->error->toString();
}

TEST_F(TlsTest, NoRedirectFromHttpsToHttp) {
  plain_.on("GET", "/down", [](const httplib::Request&, httplib::Response& res) { json(res, "{}"); });
  secure_.on("GET", "/r", [&](const httplib::Request&, httplib::Response& res) {
    res.set_redirect(plain_.origin() + "/down");
  });
  manager_.setSecurityPolicy(trusting());
  auto outcome = run(manager_, "GET", secure_.origin() + "/r");
  ASSERT_EQ(outcome->failures, 1);
  EXPECT_EQ(outcome->error->code(), kQLURLErrorRedirectRefused);
  EXPECT_EQ(plain_.requestCount(), 0u);
}

}  // namespace
}  // namespace vexa
