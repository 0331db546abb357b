// Usage reports are checked, recorded and readable; bad ones record nothing.
#include <gtest/gtest.h>

#include "ServiceFixture.h"

namespace vexa::test {
namespace {

class ReportsTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    client->userId = "alice";
    ASSERT_FALSE(client->fetchToken().empty());
  }
};

TEST_F(ReportsTest, PackageActionsAreRecordedWithTheReporter) {
  for (const char* action : {"view", "download", "remove"}) {
    auto reply = client->signedGet("callback/package/pkg-robot", {{"action", action}});
    EXPECT_EQ(reply.errorCode(), 40004) << "unknown package";
    reply = client->signedGet("callback/package/pkg-little-robot", {{"action", action}});
    EXPECT_EQ(reply.errorCode(), 0) << reply.body;
  }
  EXPECT_EQ(client->signedGet("callback/package/pkg-little-robot", {{"action", "send"}}).errorCode(), 10001);
  EXPECT_EQ(client->signedGet("callback/package/pkg-little-robot").errorCode(), 10001);

  auto reports = service->reports().reports();
  ASSERT_EQ(reports.size(), 3u);
  const char* actions[] = {"view", "download", "remove"};
  for (size_t i = 0; i < reports.size(); ++i) {
    EXPECT_EQ(reports[i],
              Value::dict({{"kind", "package"}, {"package_id", "pkg-little-robot"}, {"action", actions[i]},
                           {"appid", "vexa-demo"}, {"device_no", client->deviceNo}, {"app_uid", "alice"}}));
  }
}

TEST_F(ReportsTest, EmojiUsagesAreRecordedAllOrNothing) {
  auto sent = client->signedPostQuery(
      "callback/emojis/usage",
      R"({"package_id":"pkg-mochi-cat","usages":[{"emoji_id":"emo-mochi-cat-01","emoji_text":"早安","action":"send"}]})");
  ASSERT_EQ(sent.errorCode(), 0) << sent.body;
  auto reports = service->reports().reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], Value::dict({{"kind", "emoji"},
                                     {"package_id", "pkg-mochi-cat"},
                                     {"emoji_id", "emo-mochi-cat-01"},
                                     {"emoji_text", "早安"},
                                     {"action", "send"},
                                     {"appid", "vexa-demo"},
                                     {"device_no", client->deviceNo},
                                     {"app_uid", "alice"}}));

  struct Case {
    const char* body;
    int64_t code;
  } refused[] = {
      {R"({"usages":[{"emoji_id":"emo-mochi-cat-01","action":"send"}]})", 10001},
      {R"({"package_id":"pkg-mochi-cat","usages":[]})", 10001},
      {R"({"package_id":"pkg-mochi-cat","usages":[{"emoji_id":"emo-mochi-cat-01","action":"send"},)"
       R"({"emoji_id":"emo-mochi-cat-02","action":"like"}]})",
       10001},
      {R"({"package_id":"pkg-mochi-cat","usages":[{"emoji_id":"emo-mochi-cat-01","emoji_text":7,"action":"view"}]})",
       10001},
      {R"({"package_id":"pkg-mochi-cat","usages":[{"emoji_id":"emo-classic-01","action":"view"}]})", 40004},
      {R"({"package_id":"pkg-gone","usages":[{"emoji_id":"emo-mochi-cat-01","action":"view"}]})", 40004},
  };
  for (const auto& c : refused) {
    EXPECT_EQ(client->signedPostQuery("callback/emojis/usage", c.body).errorCode(), c.code) << c.body;
  }
  EXPECT_EQ(service->reports().size(), 1u);

  // Every action name, and an absent text counts as empty.
  for (const char* action : {"view", "receive", "favor"}) {
    std::string body = std::string(R"({"package_id":"pkg-everyday","usages":[{"emoji_id":"emo-everyday-09","action":")") +
                       action + R"("}]})";
    EXPECT_EQ(client->signedPostQuery("callback/emojis/usage", body).errorCode(), 0) << action;
  }
  reports = service->reports().reports();
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_EQ(*reports[3].find("action"), Value("favor"));
  EXPECT_EQ(*reports[3].find("emoji_text"), Value(""));
}

TEST_F(ReportsTest, ReportsNeedAValidToken) {
  client->token = "feedfacefeedfacefeedfacefeedface";
  EXPECT_EQ(client->signedGet("callback/package/pkg-little-robot", {{"action", "view"}}).errorCode(), 30001);
  EXPECT_EQ(service->reports().size(), 0u);
}

}  // namespace
}  // namespace vexa::test
