// The vexa tool's serve and demo commands, run as a user runs them.
#include <signal.h>

#include <gtest/gtest.h>
#include <httplib.h>

#include "ChildProcess.h"
#include "vexa/platform/FileSystem.h"
#include "support/TempDirectory.h"

namespace vexa::test {
namespace {

const std::string kTool = VEXA_TOOL_PATH;

TEST(ToolCommandsTest, ServePrintsWhereItListensServesAndStopsOnInterrupt) {
  TempDirectory home;
  ChildProcess serve({kTool, "--home", home.path().string(), "serve", "--port", "0", "--log",
                      (home / "requests.jsonl").string()});
  ASSERT_TRUE(serve.started());
  std::string api;
  for (int i = 0; i < 10 && api.empty(); ++i) {
    auto line = serve.readLine();
    ASSERT_TRUE(line) << serve.errors();
    if (line->starts_with("api:")) api = line->substr(line->find("http://"));
  }
  ASSERT_TRUE(api.starts_with("http://127.0.0.1:")) << api;
  ASSERT_TRUE(api.ends_with("/api/v1"));

  int port = std::stoi(api.substr(std::string("http://127.0.0.1:").size()));
  httplib::Client client("127.0.0.1", port);
  auto terms = client.Get("/pages/sdk/term.html");
  ASSERT_TRUE(terms);
  EXPECT_EQ(terms->status, 200);
  auto token = client.Get("/api/v1/token?op=grant&appid=vexa-demo&secret=vexa-demo-secret");
  ASSERT_TRUE(token);
  EXPECT_NE(token->body.find("access_token"), std::string::npos);

  serve.signal(SIGINT);
  EXPECT_EQ(serve.wait(), 0) << serve.errors();
  EXPECT_NE(serve.errors().find("stopped"), std::string::npos);
  auto log = FileSystem::readFile(home / "requests.jsonl");
  ASSERT_TRUE(log.ok());
  EXPECT_NE(log->find(R"("path":"/pages/sdk/term.html")"), std::string::npos) << *log;
  EXPECT_NE(log->find(R"("secret":"***")"), std::string::npos) << *log;
}

TEST(ToolCommandsTest, ServeRefusesABadCatalogueWithItsReason) {
  TempDirectory catalog;
  ASSERT_TRUE(FileSystem::writeAtomically(catalog / "catalog.json", R"({"packages": [{"guid": "a b"}]})").ok());
  ChildProcess serve({kTool, "serve", "--catalog", catalog.path().string()});
  ASSERT_TRUE(serve.started());
  EXPECT_EQ(serve.wait(), 1);
  EXPECT_NE(serve.errors().find("catalog.json: packages[0].guid"), std::string::npos) << serve.errors();
  EXPECT_EQ(serve.output(), "") << "nothing is served";

  ChildProcess missing({kTool, "serve", "--catalog", (catalog / "nowhere").string()});
  EXPECT_EQ(missing.wait(), 1);
  EXPECT_NE(missing.errors().find("not a directory"), std::string::npos) << missing.errors();
}

TEST(ToolCommandsTest, DemoRunsOnTheEmbeddedService) {
  TempDirectory home;
  ChildProcess demo({kTool, "--home", home.path().string(), "demo"});
  ASSERT_TRUE(demo.started());
  ASSERT_EQ(demo.wait(), 0) << demo.output() << demo.errors();
  const std::string& out = demo.output();
  EXPECT_NE(out.find("the reference service listens on http://127.0.0.1:"), std::string::npos) << out;
  EXPECT_NE(out.find("granted "), std::string::npos) << out;
  EXPECT_NE(out.find("热门推荐 (4 packages)"), std::string::npos) << out;
  EXPECT_NE(out.find("done"), std::string::npos) << out;
}

TEST(ToolCommandsTest, DemoReportsAnUnreachableService) {
  TempDirectory home;
  ChildProcess demo({kTool, "--home", home.path().string(), "--api", "http://127.0.0.1:9/api/v1", "--app-id", "a",
                     "--secret", "s", "demo"});
  ASSERT_TRUE(demo.started());
  EXPECT_EQ(demo.wait(), 1);
  EXPECT_TRUE(demo.errors().starts_with("vexa: ")) << demo.errors();
}

}  // namespace
}  // namespace vexa::test
