// Usage and action reports: their names and bodies, and what the reference
// service accepts from them.
#include <gtest/gtest.h>

#include "support/ReferenceServiceSkip.h"
#include "vexa/api/QLDownloadManager.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

TEST(ReportNamesTest, ActionNamesAndUsageBodies) {
  const std::vector<std::pair<int64_t, std::optional<std::string>>> names = {
      {0, std::nullopt}, {6, std::nullopt}, {7, "view"},    {8, "download"},  {9, "remove"},
      {10, "view"},      {11, "send"},      {12, "receive"}, {13, "favor"},   {14, std::nullopt},
      {-1, std::nullopt}, {99, std::nullopt}};
  for (const auto& [type, name] : names) {
    EXPECT_EQ(QLDownloadManager::actionNameWithType(type), name) << type;
  }

  EXPECT_FALSE(QLDownloadManager::paramsForEmojiActionType(7, "p", "e", "t")) << "a package action";
  EXPECT_FALSE(QLDownloadManager::paramsForEmojiActionType(14, "p", "e", "t"));
  EXPECT_FALSE(QLDownloadManager::paramsForEmojiActionType(11, "", "e", "t")) << "no package";
  EXPECT_FALSE(QLDownloadManager::paramsForEmojiActionType(11, "p", "", "t")) << "no emoji";
  EXPECT_EQ(QLDownloadManager::paramsForEmojiActionType(11, "p", "e", "微笑"),
            Value::dict({{"package_id", "p"},
                         {"usages", Value::array({Value::dict(
                                        {{"emoji_id", "e"}, {"emoji_text", "微笑"}, {"action", "send"}})})}}));
  auto noText = QLDownloadManager::paramsForEmojiActionType(13, "p", "e", std::nullopt);
  ASSERT_TRUE(noText);
  EXPECT_EQ(*noText->find("usages")->asArray()->at(0).find("emoji_text"), Value(""));
  EXPECT_EQ(*noText->find("usages")->asArray()->at(0).find("action"), Value("favor"));
}

}  // namespace
}  // namespace vexa

#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include "DownloadTestSupport.h"

namespace vexa {
namespace {

using test::DownloadTest;

class ReportsTest : public DownloadTest {
 protected:
  Value usage(int64_t type) {
    auto params = QLDownloadManager::paramsForEmojiActionType(type, "pkg-classic-faces",
                                                              "emo-classic-01", "微笑");
    EXPECT_TRUE(params);
    return params ? *params : Value();
  }
};

TEST_F(ReportsTest, AnEmojiUsageIsOnePostedBodyAfterARefreshedToken) {
  Value body = usage(QLRequestTypeSendEmoji);
  manager_->logAction(QLRequestTypeSendEmoji, body);
  EXPECT_EQ(manager_->pendingReportCount(), 1u);
  awaitReports();

  auto log = service_->log().entries();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(*log[0].find("path"), Value("/api/v1/token"));
  EXPECT_EQ(*log[0].find("query")->find("op"), Value("refresh")) << "refresh, though no token was held";
  EXPECT_EQ(*log[1].find("path"), Value("/api/v1/callback/emojis/usage"));
  EXPECT_EQ(*log[1].find("method"), Value("POST"));
  EXPECT_EQ(*log[1].find("body"), body) << "the body as given, nothing added";
  EXPECT_TRUE(log[1].find("query")->find("signature"));
  EXPECT_EQ(*log[1].find("error_code"), Value(0));

  auto sent = reports("send");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(*sent[0].find("emoji_id"), Value("emo-classic-01"));
  EXPECT_EQ(*sent[0].find("emoji_text"), Value("微笑"));
  EXPECT_EQ(*sent[0].find("app_uid"), Value("user 1"));
}

TEST_F(ReportsTest, PackageActionsCarryTheirNameInTheQuery) {
  for (int64_t type : {QLRequestTypeViewPackage, QLRequestTypeDownloadPackage, QLRequestTypeRemovePackage}) {
    manager_->logAction(type, Value::dict({{kHTTPPathParamKey, "pkg-mochi-cat"}}));
  }
  awaitReports();
  std::vector<std::string> actions;
  for (const auto& report : service_->reports().reports()) {
    EXPECT_EQ(*report.find("package_id"), Value("pkg-mochi-cat"));
    actions.push_back(*report.find("action")->asString());
  }
  std::sort(actions.begin(), actions.end());
  EXPECT_EQ(actions, (std::vector<std::string>{"download", "remove", "view"}));
  EXPECT_EQ(count("GET", "/api/v1/callback/package/pkg-mochi-cat"), 3u);
}

TEST_F(ReportsTest, UserIdsThatNeedEscapingAreReportedAsThemselves) {
  const std::string user = "a&b=c+d e 用户%";
  manager_->setUserId(user);
  manager_->logAction(QLRequestTypeViewEmoji, usage(QLRequestTypeViewEmoji));
  manager_->logAction(QLRequestTypeViewPackage, Value::dict({{kHTTPPathParamKey, "pkg-mochi-cat"}}));
  awaitReports();
  auto views = reports("view");
  ASSERT_EQ(views.size(), 2u) << "both signatures verified";
  for (const auto& report : views) EXPECT_EQ(*report.find("app_uid"), Value(user));

  auto found = awaitLookup([&](auto done) { manager_->fetchBigEmojisByCodes({"hello"}, done); });
  ASSERT_TRUE(found.ok()) << found.error().toString();
  EXPECT_EQ(found->size(), 1u);
}

TEST_F(ReportsTest, AnInvalidTokenIsRefreshedForAUsageAndTheRoundsAreCapped) {
  manager_->logAction(QLRequestTypeViewEmoji, usage(QLRequestTypeViewEmoji));
  awaitReports();
  service_->tokens().expireAll();
  service_->log().clear();
  manager_->logAction(QLRequestTypeSendEmoji, usage(QLRequestTypeSendEmoji));
  awaitReports();
  EXPECT_EQ(reports("send").size(), 1u);
  EXPECT_EQ(refreshes(), 1u);
  EXPECT_EQ(count("POST", "/api/v1/callback/emojis/usage"), 2u);

  service_->tokens().setUsesBeforeExpiry(0);
  service_->log().clear();
  manager_->logAction(QLRequestTypeSendEmoji, usage(QLRequestTypeSendEmoji));
  awaitReports();
  EXPECT_EQ(reports("send").size(), 1u);
  EXPECT_EQ(refreshes(), static_cast<size_t>(QLDownloadManager::kMaximumRefreshRounds));
}

TEST_F(ReportsTest, ReportsThatCannotBeSentEndQuietly) {
  manager_->logAction(QLRequestTypeSendEmoji, Value());  // no body
  manager_->logAction(QLRequestTypePackage, Value::dict({{kHTTPPathParamKey, "pkg-mochi-cat"}}));
  EXPECT_EQ(manager_->pendingReportCount(), 0u);
  manager_->setAppSecret("");
  manager_->logAction(QLRequestTypeRemovePackage, Value::dict({{kHTTPPathParamKey, "pkg-mochi-cat"}}));
  EXPECT_EQ(manager_->pendingReportCount(), 0u) << "8888 ends it at once";
  test::spin();
  EXPECT_EQ(service_->log().size(), 0u);
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(ReportsTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
