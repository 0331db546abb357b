// The fault switches for tests of clients, and the request log.
#include <gtest/gtest.h>

#include <sstream>

#include "ServiceFixture.h"
#include "vexa/platform/JsonCodec.h"

namespace vexa::test {
namespace {

using Rule = service::FaultPlan::Rule;

class FaultsTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    ASSERT_FALSE(client->fetchToken().empty());
  }
  const Value& lastLogEntry() {
    entries_ = service->log().entries();
    static const Value none;
    return entries_.empty() ? none : entries_.back();
  }

 private:
  std::vector<Value> entries_;
};

TEST_F(FaultsTest, StatusForMatchingPathsAndOnlyAsOftenAsAsked) {
  service->faults().add(Rule{.method = "GET", .pathPattern = "/api/v1/category", .status = 503, .times = 2});
  EXPECT_EQ(client->signedGet("ad_banner/index").status, 200) << "other paths are untouched";
  EXPECT_EQ(client->signedGet("category").status, 503);
  EXPECT_EQ(*lastLogEntry().find("fault"), Value("status 503"));
  EXPECT_EQ(client->signedGet("category").status, 503);
  auto healed = client->signedGet("category");
  EXPECT_EQ(healed.status, 200);
  EXPECT_EQ(healed.errorCode(), 0);
  EXPECT_EQ(lastLogEntry().find("fault"), nullptr);
}

TEST_F(FaultsTest, MethodFilterPatternsAndClear) {
  service->faults().add(Rule{.method = "POST", .pathPattern = "/api/v1/*", .status = 500});
  EXPECT_EQ(client->signedGet("category").status, 200);
  EXPECT_EQ(client->signedPostQuery("emoji/small_emo_code", R"({"codes":["smile"]})").status, 500);
  service->faults().add(Rule{.pathPattern = "/files/*.zip", .status = 404});
  EXPECT_EQ(client->get("/files/pkg-everyday.zip").status, 404);
  service->faults().clear();
  EXPECT_EQ(client->get("/files/pkg-everyday.zip").status, 200);
  EXPECT_EQ(client->signedPostQuery("emoji/small_emo_code", R"({"codes":["smile"]})").status, 200);
}

TEST_F(FaultsTest, LatencyDelaysTheAnswer) {
  service->faults().add(Rule{.pathPattern = "/api/v1/checkpackage/new", .latency = std::chrono::milliseconds(250)});
  auto reply = client->signedGet("checkpackage/new");
  EXPECT_EQ(reply.errorCode(), 0);
  const Value& entry = lastLogEntry();
  EXPECT_EQ(*entry.find("fault"), Value("latency 250ms"));
  EXPECT_GE(entry.find("ms")->numberAsInteger().value_or(0), 250);
}

TEST_F(FaultsTest, TruncatedBodiesEndTheConnectionEarly) {
  service->faults().add(Rule{.pathPattern = "/files/*.zip", .truncateAfter = 100});
  auto cut = client->get("/files/pkg-everyday.zip");
  EXPECT_FALSE(cut.ok && cut.status == 200 && cut.body.size() > 100)
      << "the client must not receive a whole archive";
  EXPECT_EQ(*lastLogEntry().find("fault"), Value("truncated after 100 bytes"));

  service->faults().clear();
  service->faults().add(Rule{.pathPattern = "/api/v1/category", .truncateAfter = 0, .times = 1});
  EXPECT_FALSE(client->signedGet("category").ok);
  EXPECT_EQ(client->signedGet("category").errorCode(), 0);
}

TEST_F(FaultsTest, WrongContentTypeKeepsTheBody) {
  service->faults().add(Rule{.pathPattern = "/api/v1/category", .contentType = "text/html"});
  auto reply = client->signedGet("category");
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.contentType, "text/html");
  EXPECT_EQ(reply.errorCode(), 0);
}

TEST_F(ServiceTest, RequestLogIsJsonLinesWithSecretsMasked) {
  client->fetchToken();
  client->signedGet("category/code/default");
  client->signedPostQuery("emoji/big_emo_code", R"({"codes":["早安"]})");
  client->get("/files/pkg-everyday.zip");
  client->token = "nope";
  client->signedGet("category");

  std::istringstream lines(service->log().jsonLines());
  std::vector<Value> entries;
  for (std::string line; std::getline(lines, line);) {
    auto parsed = JsonCodec::parse(line);
    ASSERT_TRUE(parsed.ok()) << line;
    entries.push_back(*parsed);
  }
  ASSERT_EQ(entries.size(), 5u);
  for (size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(*entries[i].find("seq"), Value(int64_t(i + 1)));

  const Value& token = entries[0];
  EXPECT_EQ(*token.find("path"), Value("/api/v1/token"));
  EXPECT_EQ(*token.find("query")->find("secret"), Value("***"));
  EXPECT_EQ(*token.find("query")->find("appid"), Value("vexa-demo"));
  EXPECT_EQ(*token.find("route"), Value("token"));
  EXPECT_EQ(*token.find("error_code"), Value(0));

  EXPECT_EQ(*entries[2].find("body")->find("codes"), Value::array({"早安"}));
  EXPECT_EQ(*entries[2].find("method"), Value("POST"));
  EXPECT_EQ(*entries[3].find("path"), Value("/files/pkg-everyday.zip"));
  EXPECT_EQ(*entries[3].find("status"), Value(200));
  EXPECT_EQ(*entries[4].find("error_code"), Value(30001));
  EXPECT_EQ(service->log().jsonLines().find("vexa-demo-secret"), std::string::npos);
}

}  // namespace
}  // namespace vexa::test
