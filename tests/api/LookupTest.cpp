// Lookups of emojis by code: the device first, then one request for the
// rest; what comes back is saved for the next lookup.
#include "DownloadTestSupport.h"
#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include <map>
#include <set>

#include "FakeService.h"
#include "vexa/platform/JsonCodec.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

using test::DownloadTest;

std::vector<std::string> codesOf(const QLDownloadManager::VXEmojis& emojis) {
  std::vector<std::string> codes;
  for (const auto& e : emojis) codes.push_back(e->emojiCode());
  return codes;
}

class LookupTest : public DownloadTest {
 protected:
  // A second manager over the same store, as after a restart of the process.
  void restartManager() {
    manager_ = std::make_unique<QLDownloadManager>(service_->apiBase(), &keychain_);
    manager_->setPackageCache(store_.get());
    manager_->setFilesBaseURL(service_->filesBase());
    manager_->setAppId(service::EmoticonService::kDemoAppId);
    manager_->setAppSecret(service::EmoticonService::kDemoAppSecret);
  }
};

TEST_F(LookupTest, CodesKnownOnTheDeviceAreAnsweredAtOnceWithoutARequest) {
  ASSERT_TRUE(await([&](auto done) { manager_->downloadDefaultPackages(done); }).ok());
  awaitReports();
  service_->log().clear();

  bool answered = false;
  manager_->fetchSmallEmojisByCodes({"smile", "微笑", "smile"},
                                    [&](const Result<QLDownloadManager::VXEmojis>& r) {
                                      answered = true;
                                      ASSERT_TRUE(r.ok());
                                      EXPECT_EQ(codesOf(*r), (std::vector<std::string>{"smile", "微笑", "smile"}));
                                      for (const auto& e : *r) {
                                        EXPECT_NE(e->emojiImage(), nullptr);
                                        EXPECT_NE(e->emojiData(), nullptr);
                                        EXPECT_FALSE(e->packageId().empty());
                                      }
                                    });
  EXPECT_TRUE(answered) << "before the call returns";
  EXPECT_TRUE(manager_->smallEmojiMemoryTable().count("smile"));

  answered = false;
  manager_->fetchSmallEmojisByCodes({}, [&](const Result<QLDownloadManager::VXEmojis>& r) {
    answered = true;
    EXPECT_TRUE(r.ok() && r->empty());
  });
  EXPECT_TRUE(answered);

  // The device-only lookups: found codes in order, the rest dropped.
  std::vector<std::string> local, small, big;
  manager_->fetchLocalEmojisByCodes({"nope", "grin", "大笑"}, [&](const auto& r) { local = codesOf(r); });
  manager_->fetchLocalSmallEmojisByCodes({"grin", "早安"}, [&](const auto& r) { small = codesOf(r); });
  manager_->fetchLocalBigEmojisByCodes({"grin"}, [&](const auto& r) { big = codesOf(r); });
  EXPECT_EQ(local, (std::vector<std::string>{"grin", "大笑"}));
  EXPECT_EQ(small, (std::vector<std::string>{"grin"}));
  EXPECT_TRUE(big.empty());
  EXPECT_EQ(service_->log().size(), 0u);
}

TEST_F(LookupTest, OneRequestPerCallWithEachUnresolvedCodeOnce) {
  auto found = awaitLookup([&](auto done) {
    manager_->fetchSmallEmojisByCodes({"微笑", "smile", "微笑", "no-such-code", "早安"}, done);
  });
  ASSERT_TRUE(found.ok()) << found.error().toString();
  EXPECT_EQ(codesOf(*found), (std::vector<std::string>{"微笑", "smile"}))
      << "each once; unknown codes and big ones have no entry";
  for (const auto& e : *found) {
    EXPECT_NE(e->emojiImage(), nullptr) << e->emojiCode();
    EXPECT_NE(e->emojiData(), nullptr) << e->emojiCode();
  }
  auto posts = requests("POST", "/api/v1/emoji/small_emo_code");
  ASSERT_EQ(posts.size(), 1u);
  ASSERT_TRUE(posts[0].find("body") && posts[0].find("body")->find("codes"));
  EXPECT_EQ(posts[0].find("body")->find("codes")->size(), 4u);
  std::set<std::string> sent;
  for (const auto& code : *posts[0].find("body")->find("codes")->asArray()) {
    EXPECT_TRUE(sent.insert(*code.asString()).second) << "sent twice: " << *code.asString();
  }
  EXPECT_EQ(sent, (std::set<std::string>{"微笑", "smile", "no-such-code", "早安"}));
  EXPECT_EQ(count("GET", "/files/"), 2u) << "one image per emoji found";
}

TEST_F(LookupTest, EmojisFromTheServiceAnswerTheNextLookupLocally) {
  ASSERT_TRUE(awaitLookup([&](auto done) { manager_->fetchSmallEmojisByCodes({"微笑"}, done); }).ok());
  ASSERT_TRUE(awaitLookup([&](auto done) { manager_->fetchBigEmojisByCodes({"早安"}, done); }).ok());
  EXPECT_TRUE(manager_->smallEmojiMemoryTable().count("微笑"));
  EXPECT_FALSE(manager_->smallEmojiMemoryTable().count("早安")) << "big lookups keep no table";
  EXPECT_NE(store_->smallTempEmojiWithEmojiCode("微笑"), nullptr);
  EXPECT_NE(store_->bigTempEmojiWithEmojiCode("早安"), nullptr);

  restartManager();
  service_->log().clear();
  for (bool big : {false, true}) {
    bool answered = false;
    auto check = [&](const Result<QLDownloadManager::VXEmojis>& r) {
      answered = true;
      ASSERT_TRUE(r.ok());
      ASSERT_EQ(r->size(), 1u);
      EXPECT_NE(r->at(0)->emojiImage(), nullptr) << "the image was saved with it";
    };
    if (big) {
      manager_->fetchBigEmojisByCodes({"早安"}, check);
    } else {
      manager_->fetchSmallEmojisByCodes({"微笑"}, check);
    }
    EXPECT_TRUE(answered);
  }
  EXPECT_EQ(service_->log().size(), 0u);

  // The device's records come first, the service's after them.
  auto mixed = awaitLookup([&](auto done) { manager_->fetchSmallEmojisByCodes({"grin", "微笑"}, done); });
  ASSERT_TRUE(mixed.ok());
  EXPECT_EQ(codesOf(*mixed), (std::vector<std::string>{"微笑", "grin"}));
}

TEST_F(LookupTest, AnInvalidTokenIsRefreshedAndTheLookupRunsAgain) {
  ASSERT_TRUE(awaitLookup([&](auto done) { manager_->fetchSmallEmojisByCodes({"smile"}, done); }).ok());
  service_->tokens().expireAll();
  service_->log().clear();
  auto again = awaitLookup([&](auto done) { manager_->fetchSmallEmojisByCodes({"smile", "grin"}, done); });
  ASSERT_TRUE(again.ok()) << again.error().toString();
  EXPECT_EQ(codesOf(*again), (std::vector<std::string>{"smile", "grin"}));
  EXPECT_EQ(refreshes(), 1u);
  EXPECT_EQ(count("POST", "/api/v1/emoji/small_emo_code"), 2u);

  // A service that refuses every token ends the rounds with its error.
  service_->tokens().setUsesBeforeExpiry(0);
  service_->log().clear();
  auto refused = awaitLookup([&](auto done) { manager_->fetchBigEmojisByCodes({"hello"}, done); });
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().code(), QLDownloadManager::kInvalidTokenCode);
  EXPECT_EQ(refreshes(), static_cast<size_t>(QLDownloadManager::kMaximumRefreshRounds));
}

TEST_F(LookupTest, FailuresOfTheLookupItself) {
  // No token, and the token request fails: the lookup fails with its error.
  manager_->setAppSecret("wrong");
  auto denied = awaitLookup([&](auto done) { manager_->fetchSmallEmojisByCodes({"smile"}, done); });
  ASSERT_FALSE(denied.ok());
  EXPECT_EQ(refreshes(), 1u) << "asked with op refresh";
  EXPECT_EQ(count("POST", "/api/v1/emoji/"), 0u);

  // A failed request delivers nothing, not even what the device knew.
  manager_->setAppSecret(service::EmoticonService::kDemoAppSecret);
  ASSERT_TRUE(awaitLookup([&](auto done) { manager_->fetchSmallEmojisByCodes({"smile"}, done); }).ok());
  service_->faults().add({.method = "POST", .pathPattern = "/api/v1/emoji/small_emo_code", .status = 500});
  auto failed = awaitLookup([&](auto done) { manager_->fetchSmallEmojisByCodes({"smile", "grin"}, done); });
  EXPECT_FALSE(failed.ok());

  // Another refusal of the service leaves the device's records as the result.
  service_->faults().clear();
  std::vector<std::string> many{"smile"};
  for (int i = 0; i < 1001; ++i) many.push_back("unknown-" + std::to_string(i));
  auto partial = awaitLookup([&](auto done) { manager_->fetchSmallEmojisByCodes(many, done); });
  ASSERT_TRUE(partial.ok());
  EXPECT_EQ(codesOf(*partial), (std::vector<std::string>{"smile"}));
}

// Answers the service should not give, from a scripted stand-in.
TEST(LookupAnswerTest, NullGuidsCodesNotAskedAndFailedImages) {
  test::TempDirectory dir;
  SecureItemStore keychain(dir / "keychain");
  auto shared = std::make_shared<QL_SDImageCache>("default", dir / "Caches");
  QLPackageCache store(dir / "ApplicationSupport", shared);
  test::FakeService service;
  const std::string origin = service.server.origin();
  service.server.on("GET", "/img/b.gif", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(test::tinyGif(), "image/gif");
  });
  service.server.on("GET", "/img/junk.gif", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<html>not an image</html>", "text/html");
  });
  Value list = Value::array({
      Value::dict({{"guid", nullptr}, {"emo_code", "a"}}),
      Value::dict({{"guid", "x"}, {"emo_code", "not-asked"}, {"main_image", origin + "/img/b.gif"}}),
      Value::dict({{"guid", "b1"}, {"emo_code", "b"}, {"emo_text", "B"}, {"package_id", "p"},
                   {"main_image", origin + "/img/b.gif"}}),
      Value::dict({{"guid", "b2"}, {"emo_code", "b"}, {"main_image", origin + "/img/b.gif"}}),
      Value::dict({{"guid", "c1"}, {"emo_code", "c"}, {"main_image", origin + "/img/missing.gif"}}),
      Value::dict({{"guid", "d1"}, {"emo_code", "d"}}),
      Value::dict({{"guid", "e1"}, {"emo_code", "e"}, {"main_image", origin + "/img/junk.gif"}}),
      Value("not an object"),
  });
  service.script("POST", "/api/v1/emoji/small_emo_code",
                 {JsonCodec::serialize(Value::dict({{"error_code", 0}, {"data_list", list}}))});

  QLDownloadManager manager(service.apiBase(), &keychain);
  manager.setPackageCache(&store);
  manager.setAppId("app");
  manager.setAppSecret("secret");
  // Characters that would break an unescaped query.
  const std::string user = "a&b=c+d e 用户%";
  manager.setUserId(user);

  std::optional<Result<QLDownloadManager::VXEmojis>> result;
  manager.fetchSmallEmojisByCodes({"a", "b", "c", "d", "e"},
                                  [&](const Result<QLDownloadManager::VXEmojis>& r) { result = r; });
  ASSERT_TRUE(test::runUntil([&] { return result.has_value(); }));
  ASSERT_TRUE(result->ok()) << result->error().toString();
  const auto& found = result->value();
  ASSERT_EQ(codesOf(found), (std::vector<std::string>{"b", "c", "d", "e"}));
  EXPECT_EQ(found[0]->emojiId(), "b1") << "the first element for a code";
  EXPECT_EQ(found[0]->emojiName(), "B");
  EXPECT_EQ(found[0]->packageId(), "p");
  EXPECT_NE(found[0]->emojiImage(), nullptr);
  for (size_t i = 1; i < found.size(); ++i) {
    EXPECT_EQ(found[i]->emojiImage(), nullptr) << found[i]->emojiCode() << " has no image";
    EXPECT_EQ(found[i]->emojiData(), nullptr) << found[i]->emojiCode();
  }
  // Only an emoji with its image is kept as a temporary emoji.
  EXPECT_NE(store.smallTempEmojiWithEmojiCode("b"), nullptr);
  for (const char* code : {"c", "d", "e"}) EXPECT_EQ(store.smallTempEmojiWithEmojiCode(code), nullptr) << code;
  EXPECT_FALSE(std::filesystem::exists(store.imageFileURLWithKey(origin + "/img/junk.gif")));
  for (const char* code : {"b", "c", "d", "e"}) EXPECT_TRUE(manager.smallEmojiMemoryTable().count(code)) << code;
  EXPECT_EQ(service.server.requestsFor("/img/b.gif").size(), 1u) << "no image for a code not asked";

  // The query carries the common parameters escaped; the signature covers
  // their plain values.
  auto posts = service.server.requestsFor("/api/v1/emoji/small_emo_code");
  ASSERT_EQ(posts.size(), 1u);
  auto pairs = test::queryPairs(posts[0].query);
  std::map<std::string, std::string> params(pairs.begin(), pairs.end());
  EXPECT_EQ(pairs.size(), params.size()) << posts[0].query;
  EXPECT_EQ(params["app_uid"], user) << posts[0].query;
  EXPECT_EQ(params["access_token"], "TOKEN-1");
  std::string signedText = origin + "/api/v1/emoji/small_emo_code";
  bool first = true;
  for (const auto& [k, v] : params) {
    if (k == "signature") continue;
    signedText += (first ? "" : "&") + k + "=" + v;
    first = false;
  }
  EXPECT_EQ(params["signature"], test::md5Upper(signedText));
  auto body = JsonCodec::parse(posts[0].body);
  ASSERT_TRUE(body.ok());
  EXPECT_EQ(body->find("codes")->size(), 5u);
  EXPECT_EQ(posts[0].header("Content-Type"), "application/json");
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(LookupTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
