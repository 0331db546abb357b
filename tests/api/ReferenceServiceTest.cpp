// The client against the reference service: its signature check, tokens and
// envelope are the other side's reading of the same protocol.
#include "support/ReferenceServiceSkip.h"

#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include <gtest/gtest.h>

#include "DownloadTestSupport.h"
#include "vexa/api/QLDownloadManager.h"
#include "service/EmoticonService.h"
#include "support/MainQueueTesting.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

class ReferenceServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto catalog = test::sampleCatalog();
    ASSERT_TRUE(catalog);
    auto started = service::EmoticonService::start({.catalog = catalog});
    ASSERT_TRUE(started.ok()) << started.error().toString();
    service_ = std::move(*started);
    manager_ = std::make_unique<QLDownloadManager>(service_->apiBase(), &store_);
    manager_->setAppId(service::EmoticonService::kDemoAppId);
    manager_->setAppSecret(service::EmoticonService::kDemoAppSecret);
    manager_->setUserId("user 1");
  }
  void TearDown() override {
    manager_.reset();
    if (service_) service_->stop();
  }
  Result<QLResponse> send(int64_t type, const Value& params) {
    std::optional<Result<QLResponse>> out;
    manager_->sendRequest(type, params, [&out](const Result<QLResponse>& r) { out = r; });
    EXPECT_TRUE(test::runUntil([&] { return out.has_value(); }));
    return out ? *out : Result<QLResponse>(Error("test", 0, "no answer"));
  }

  test::TempDirectory dir_;
  SecureItemStore store_{dir_ / "keychain"};
  std::unique_ptr<service::EmoticonService> service_;
  std::unique_ptr<QLDownloadManager> manager_;
};

TEST_F(ReferenceServiceTest, SignedRequestsAreAccepted) {
  auto defaults = send(QLRequestTypeDefaultPackages, Value());
  ASSERT_TRUE(defaults.ok()) << defaults.error().toString();
  ASSERT_TRUE(defaults->categories());
  ASSERT_FALSE(defaults->categories()->empty());
  const auto& packages = defaults->categories()->front()->packages();
  ASSERT_FALSE(packages.empty());

  auto emojis = send(QLRequestTypePackageEmojis, Value::dict({{kHTTPPathParamKey, packages.front()->guid()}}));
  ASSERT_TRUE(emojis.ok()) << emojis.error().toString();
  ASSERT_TRUE(emojis->emojis());
  ASSERT_FALSE(emojis->emojis()->empty());
  std::string code = emojis->emojis()->front()->emo_code();

  // A code in the path, escaped; the signature covers the escaped path.
  auto byCode = send(QLRequestTypeEmojiByCode, Value::dict({{kHTTPPathParamKey, code}}));
  ASSERT_TRUE(byCode.ok()) << byCode.error().toString() << " code " << code;
  if (byCode->emoji()) {
    EXPECT_EQ(byCode->emoji()->emo_code(), code);
  }

  // A POST: the parameters and their signature travel in the JSON body.
  auto lookup = send(QLRequestTypeEmojisByCodes, Value::dict({{"codes", Value::array({code})}}));
  ASSERT_TRUE(lookup.ok()) << lookup.error().toString();
  EXPECT_EQ(service_->tokens().issuedCount(), 1);
}

TEST_F(ReferenceServiceTest, ExpiredTokensAreRefreshedAndEndlessRefusalIsCapped) {
  ASSERT_TRUE(send(QLRequestTypeCategory, Value()).ok());
  service_->tokens().expireAll();
  auto again = send(QLRequestTypeCategory, Value());
  ASSERT_TRUE(again.ok()) << again.error().toString();
  EXPECT_EQ(service_->tokens().issuedCount(), 2);

  service_->tokens().setUsesBeforeExpiry(0);
  auto refused = send(QLRequestTypeCategory, Value());
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().domain(), kQLErrorDomain);
  EXPECT_EQ(refused.error().code(), QLDownloadManager::kInvalidTokenCode);
  EXPECT_EQ(service_->tokens().issuedCount(), 2 + QLDownloadManager::kMaximumRefreshRounds);
}

TEST_F(ReferenceServiceTest, WrongSecretIsReported) {
  manager_->setAppSecret("wrong");
  auto denied = send(QLRequestTypeCategory, Value());
  ASSERT_FALSE(denied.ok());
  EXPECT_EQ(denied.error().domain(), kQLErrorDomain);
  EXPECT_GE(denied.error().code(), 1);
  EXPECT_FALSE(denied.error().description().empty());
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(ReferenceServiceTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
