// The vexa tool's serve, demo and parse commands and its usage, run as a
// user runs them.
#include <signal.h>

#include <gtest/gtest.h>
#include <httplib.h>

#include "ChildProcess.h"
#include "vexa/platform/JsonCodec.h"
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

TEST(ToolCommandsTest, UsageErrorsExitWithTwoAndNameWhatToFix) {
  TempDirectory home;
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string says;  // on standard error, or for help on standard output
  };
  const std::vector<Case> cases = {
      {{"nonsense"}, 2, "unknown command \"nonsense\""},
      {{"--nonsense", "packages"}, 2, "unknown option \"--nonsense\"; vexa help lists"},
      {{}, 2, "no command given"},
      {{"install"}, 2, "vexa help install"},
      {{"help", "nonsense"}, 2, "unknown command \"nonsense\""},
      {{"help"}, 0, "catalog"},
      {{"help"}, 0, "Exit status: 0 on success; 2 for a usage error"},
      {{"help", "parse"}, 0, "- reads it from standard input"},
      {{"--api", "ftp://example.org/api/v1", "--app-id", "a", "--secret", "s3cr3t", "install", "x"}, 2,
       "--api ftp://example.org/api/v1: the scheme must be http or https"},
      {{"--app-id", "a", "--secret", "s", "catalog"}, 2, "give its API base URL with --api"},
      {{"--api", "http://127.0.0.1:9/api/v1", "--app-id", "a", "--secret", "s", "install", "x"}, 1, "; check --api"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv{kTool, "--home", home.path().string()};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    ChildProcess tool(argv);
    EXPECT_EQ(tool.wait(), c.status) << c.args.size() << " " << tool.errors();
    const std::string& said = c.status == 0 ? tool.output() : tool.errors();
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
    EXPECT_EQ(tool.errors().find("s3cr3t"), std::string::npos) << tool.errors();
    if (c.status != 0) {
      EXPECT_TRUE(tool.errors().starts_with("vexa: ")) << tool.errors();
    }
  }
}

TEST(ToolCommandsTest, ParseReadsALongMessageStartingWithADashFromStandardInput) {
  TempDirectory home;
  std::string message = "-n \r\nline two ";
  while (message.size() < 200 * 1024) message += "早上好[微笑] ";  // beyond one argument's limit
  ASSERT_TRUE(FileSystem::writeAtomically(home / "message.txt", message + "\n").ok());
  ChildProcess parse({kTool, "--home", home.path().string(), "parse", "--local", "-"}, home / "message.txt");
  ASSERT_EQ(parse.wait(), 0) << parse.errors();
  auto elements = JsonCodec::parse(parse.output());
  ASSERT_TRUE(elements.ok()) << parse.output().substr(0, 200);
  std::string rebuilt;
  for (const auto& element : *elements->asArray()) {
    if (const Value* text = element.find("text")) rebuilt += *text->asString();
    if (const Value* emoji = element.find("emoji")) rebuilt += "[" + *emoji->find("code")->asString() + "]";
  }
  EXPECT_EQ(rebuilt, message) << "the whole message, without the line break that ends the input";
}

}  // namespace
}  // namespace vexa::test
