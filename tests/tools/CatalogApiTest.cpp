// Every catalogue endpoint of the service, through signed requests.
#include <gtest/gtest.h>

#include <set>

#include "ServiceFixture.h"

namespace vexa::test {
namespace {

std::string text(const Value& object, const char* key) {
  const Value* v = object.find(key);
  return v && v->isString() ? *v->asString() : std::string("<absent>");
}

class CatalogApiTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    ASSERT_FALSE(client->fetchToken().empty());
  }

  // The one category of a list answer, after checking the envelope.
  const Value::Array& listOf(const SignedClient::Reply& reply) {
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.errorCode(), 0) << reply.body;
    EXPECT_NE(reply.dataList(), nullptr) << reply.body;
    static const Value::Array empty;
    return reply.dataList() ? *reply.dataList() : empty;
  }
};

TEST_F(CatalogApiTest, CategoriesBannersDefaultAndRecommended) {
  struct Case {
    const char* path;
    const char* nameKey;
    std::vector<std::string> names;
    std::vector<size_t> packageCounts;
  } cases[] = {
      {"ad_banner/index", "banner_name", {"热门活动"}, {3}},
      {"category", "category_name", {"热门推荐", "萌宠天地", "日常用语"}, {4, 2, 3}},
      {"category/code/default", "category_name", {"默认表情"}, {2}},
      {"category/code/recommend", "category_name", {"为你推荐"}, {3}},
  };
  for (const auto& c : cases) {
    auto reply = client->signedGet(c.path);
    const auto& list = listOf(reply);
    ASSERT_EQ(list.size(), c.names.size()) << c.path;
    for (size_t i = 0; i < list.size(); ++i) {
      EXPECT_EQ(text(list[i], c.nameKey), c.names[i]) << c.path;
      const Value* packages = list[i].find("emoticion_packages");
      ASSERT_TRUE(packages && packages->isArray()) << c.path;
      EXPECT_EQ(packages->size(), c.packageCounts[i]) << c.path;
      for (const Value& p : *packages->asArray()) {
        EXPECT_EQ(p.find("emoticions"), nullptr) << "category lists carry no emojis";
        EXPECT_EQ(p.find("packageType"), nullptr) << "the SDK sets packageType itself";
        for (const char* key : {"cover", "banner", "chat_icon", "recommend_pic"})
          EXPECT_TRUE(text(p, key).starts_with(service->filesBase())) << key << " " << text(p, key);
      }
    }
  }
  // The default packages are the small-emoji ones.
  auto defaults = client->signedGet("category/code/default");
  for (const Value& p : *listOf(defaults)[0].find("emoticion_packages")->asArray())
    EXPECT_EQ(*p.find("is_emoji"), Value(true));
}

TEST_F(CatalogApiTest, PackageAndItsEmojis) {
  for (const char* path : {"package/pkg-mochi-cat/emojis", "package/pkg-mochi-cat"}) {
    auto reply = client->signedGet(path);
    ASSERT_EQ(reply.errorCode(), 0) << reply.body;
    const Value* data = reply.data();
    ASSERT_TRUE(data);
    EXPECT_EQ(text(*data, "guid"), "pkg-mochi-cat");
    EXPECT_EQ(text(*data, "name"), "团子猫");
    EXPECT_EQ(*data->find("promotion"), Value(true));
    const Value* emojis = data->find("emoticions");
    ASSERT_TRUE(emojis && emojis->isArray());
    ASSERT_EQ(emojis->size(), 8u);
    const Value& first = (*emojis->asArray())[0];
    EXPECT_EQ(text(first, "emo_code"), "早安");
    EXPECT_EQ(text(first, "package_id"), "pkg-mochi-cat");
    // This package's files sit in a folder whose name needs escaping.
    EXPECT_EQ(text(first, "main_image"), service->filesBase() + "images/团子 cat/早安.gif");
    EXPECT_EQ(text(first, "thumbail"), service->filesBase() + "images/团子 cat/早安 thumb.png");
  }
  auto missing = client->signedGet("package/no-such-package/emojis");
  EXPECT_EQ(missing.errorCode(), 40004);
  EXPECT_EQ(client->signedGet("package/no-such-package").errorCode(), 40004);
}

TEST_F(CatalogApiTest, EmojiByGuidAndByCode) {
  auto byGuid = client->signedGet("emoji/emo-classic-01");
  ASSERT_EQ(byGuid.errorCode(), 0);
  EXPECT_EQ(text(*byGuid.data(), "emo_code"), "微笑");

  struct Case {
    std::string code;
    std::string guid;  // empty: unknown
  } cases[] = {{"微笑", "emo-classic-01"}, {"thumbs up", "emo-everyday-09"}, {"on my way", "emo-bouncy-blob-06"},
               {"nothing here", ""}};
  for (const auto& c : cases) {
    auto reply = client->signedGet("emoji/code/" + SignedClient::escapePathArgument(c.code));
    ASSERT_EQ(reply.errorCode(), 0) << c.code << reply.body;
    if (c.guid.empty()) {
      ASSERT_NE(reply.dataList(), nullptr);
      EXPECT_TRUE(reply.dataList()->empty());
    } else {
      ASSERT_NE(reply.data(), nullptr) << c.code;
      EXPECT_EQ(text(*reply.data(), "guid"), c.guid);
      EXPECT_EQ(text(*reply.data(), "emo_code"), c.code);
    }
  }
  EXPECT_EQ(client->signedGet("emoji/no-such-emoji").errorCode(), 40004);
}

TEST_F(CatalogApiTest, NewPackageTimestamp) {
  auto reply = client->signedGet("checkpackage/new");
  ASSERT_EQ(reply.errorCode(), 0);
  EXPECT_EQ(*reply.data()->find("newEmojiCountTimestamp"), Value(int64_t(1718236800000)));
}

TEST_F(CatalogApiTest, LookupsByCodeAnswerEachDistinctCodeInOrder) {
  struct Case {
    const char* path;
    const char* body;
    std::vector<std::string> expectedGuids;  // "" for a null guid
    std::vector<std::string> expectedCodes;
  } cases[] = {
      {"emoji/small_emo_code", R"({"codes":["微笑","smile","nope","微笑","早安"]})",
       {"emo-classic-01", "emo-everyday-01", "", ""},
       {"微笑", "smile", "nope", "早安"}},
      {"emoji/big_emo_code", R"({"codes":["早安","love you","微笑"]})",
       {"emo-mochi-cat-01", "emo-bouncy-blob-05", ""},
       {"早安", "love you", "微笑"}},
      {"emoji/small_emo_code", R"({"codes":[]})", {}, {}},
  };
  for (const auto& c : cases) {
    auto reply = client->signedPostQuery(c.path, c.body);
    const auto& list = listOf(reply);
    ASSERT_EQ(list.size(), c.expectedGuids.size()) << c.body;
    for (size_t i = 0; i < list.size(); ++i) {
      if (c.expectedGuids[i].empty()) {
        EXPECT_TRUE(list[i].find("guid") && list[i].find("guid")->isNull()) << c.body;
      } else {
        EXPECT_EQ(text(list[i], "guid"), c.expectedGuids[i]);
        EXPECT_FALSE(text(list[i], "main_image").empty());
      }
      EXPECT_EQ(text(list[i], "emo_code"), c.expectedCodes[i]);
    }
  }
}

TEST_F(CatalogApiTest, MalformedLookupBodiesAreRefused) {
  struct Case {
    std::string body;
    std::string contentType;
  } cases[] = {
      {R"({"codes":"微笑"})", "application/json"},
      {R"({"codes":[1,2]})", "application/json"},
      {R"({"other":[]})", "application/json"},
      {R"(["微笑"])", "application/json"},
      {R"({"codes":["微笑")", "application/json"},
      {R"({"codes":["微笑"]})", "text/plain"},
      {"\xff\xfe", "application/json"},
  };
  for (const auto& c : cases) {
    auto params = client->signedParams("emoji/small_emo_code", client->common());
    auto reply = client->post(client->apiPath("emoji/small_emo_code") + "?" + SignedClient::queryString(params),
                              c.body, c.contentType);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.errorCode(), 10001) << c.body;
  }
}

TEST_F(CatalogApiTest, UnknownPathsAndWrongMethods) {
  auto unknown = client->signedGet("no/such/path");
  EXPECT_EQ(unknown.status, 404);
  EXPECT_EQ(unknown.errorCode(), 40400);
  EXPECT_EQ(client->get("/elsewhere").status, 404);

  auto wrongMethod = client->signedGet("emoji/small_emo_code");
  EXPECT_EQ(wrongMethod.status, 405);
  EXPECT_EQ(wrongMethod.errorCode(), 40500);
  EXPECT_EQ(client->post(client->apiPath("category"), "{}").status, 405);
}

}  // namespace
}  // namespace vexa::test

namespace vexa::test {
namespace {

TEST(EmoticonServiceTest, PublicBaseUrlNamesTheLinksWhileSignaturesFollowTheHost) {
  auto started = service::EmoticonService::start(
      {.catalog = SampleCatalogOnce::catalog(), .publicBaseUrl = "http://emoticons.test:8080"});
  ASSERT_TRUE(started.ok()) << started.error().toString();
  auto& svc = **started;
  EXPECT_EQ(svc.apiBase(), "http://emoticons.test:8080/api/v1");
  EXPECT_EQ(svc.filesBase(), "http://emoticons.test:8080/files/");
  SignedClient client(svc);
  ASSERT_FALSE(client.fetchToken().empty());
  auto reply = client.signedGet("package/pkg-everyday");
  ASSERT_EQ(reply.errorCode(), 0) << reply.body;
  EXPECT_EQ(*reply.data()->find("cover"), Value("http://emoticons.test:8080/files/images/everyday/cover.png"));
}

TEST(EmoticonServiceTest, ABusyPortOrNoCatalogueIsAClearError) {
  auto first = service::EmoticonService::start({.catalog = SampleCatalogOnce::catalog()});
  ASSERT_TRUE(first.ok());
  auto second = service::EmoticonService::start({.catalog = SampleCatalogOnce::catalog(), .port = (*first)->port()});
  ASSERT_FALSE(second.ok());
  EXPECT_EQ(second.error().description(), "cannot listen on 127.0.0.1:" + std::to_string((*first)->port()));
  auto none = service::EmoticonService::start({});
  ASSERT_FALSE(none.ok());
  EXPECT_EQ(none.error().description(), "the service needs a catalogue");
}

TEST_F(ServiceTest, LongAndOddTargetsAreAnsweredNotCrashedOn) {
  ASSERT_FALSE(client->fetchToken().empty());
  EXPECT_EQ(client->get("/files/" + std::string(7000, 'a')).status, 404);
  EXPECT_EQ(client->get("/api/v1/" + std::string(7000, 'b')).status, 404);
  EXPECT_EQ(client->get("/api/v1/emoji/code/%FF%FE").errorCode(), 10001) << "not UTF-8";
  std::string many = "/api/v1/category?";
  for (int i = 0; i < 300; ++i) many += "k" + std::to_string(i) + "=v&";
  EXPECT_EQ(client->get(many).errorCode(), 10001);
}

}  // namespace
}  // namespace vexa::test
