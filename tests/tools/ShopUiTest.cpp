// The shop as `vexa ui` scripts open and use it: the list at two screen
// sizes, a download from a row, the failure page with the service down and
// a retry once it is up, and closing the shop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "ServiceFixture.h"
#include "UiScript.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/JsonCodec.h"

namespace vexa::test {
namespace {

bool shows(const Value& node, const std::string& text) { return !findWith(node, "text", text).empty(); }

const Value* childOfClass(const Value& node, const std::string& cls) {
  auto found = findWith(node, "class", cls);
  return found.empty() ? nullptr : found.front();
}

bool hasEvent(const ScriptRun& run, const std::string& name) {
  for (const Value& line : run.lines)
    if (const Value* e = line.find("event"); e && e->asString() && *e->asString() == name) return true;
  return false;
}

TEST(ShopUiTest, OpensWithTheBannerRowCategoriesAndRowsToDownloadAtBothSizes) {
  const std::string firstCategory = SampleCatalogOnce::catalog()->shopCategories().front().name;
  for (auto [size, width] : {std::pair{"375x667", 375.0}, std::pair{"320x568", 320.0}}) {
    SCOPED_TRACE(size);
    TempDirectory home;
    ScriptRun run = runScript(home, "shop\nsettle\ntree\nback\n", {"--size", size});
    ASSERT_EQ(run.status, 0) << run.errors;
    const Value* tree = run.first("tree");
    ASSERT_TRUE(tree);
    const Value* banner = findNode(*tree, "banner");
    ASSERT_TRUE(banner);
    EXPECT_NEAR(frameOf(*banner).height(), width * 200 / 375, 0.01);
    EXPECT_EQ(frameOf(*banner).y(), 64) << "right under the bar";
    EXPECT_TRUE(shows(*tree, firstCategory));
    EXPECT_TRUE(shows(*tree, "Vexa商店"));
    ASSERT_TRUE(findNode(*tree, "back"));
    ASSERT_TRUE(findNode(*tree, "setting"));
    std::vector<const Value*> rows = findNodes(*tree, "package:");
    ASSERT_GE(rows.size(), 2u);
    for (const Value* row : rows) {
      const std::string guid = row->find("id")->asString()->substr(8);
      const Value* control = findNode(*row, "download:" + guid);
      ASSERT_TRUE(control) << guid;
      EXPECT_TRUE(shows(*control, "下载")) << guid;
    }
    EXPECT_TRUE(hasEvent(run, "dismissShop")) << "back closes the shop";
  }
}

TEST(ShopUiTest, DownloadShowsTheBarThenDownloadedAndTheStoreHoldsThePackage) {
  TempDirectory home;
  const std::string guid = "pkg-bouncy-blob";
  ScriptRun run = runScript(home, "shop\nsettle\ntap \"download:" + guid + "\"\ntree\nsettle\ntree\n");
  ASSERT_EQ(run.status, 0) << run.errors;
  const Value* during = run.first("tree");
  ASSERT_TRUE(during);
  const Value* control = findNode(*during, "download:" + guid);
  ASSERT_TRUE(control);
  EXPECT_TRUE(childOfClass(*control, "QLLDProgressView")) << "the bar replaces the button";
  EXPECT_FALSE(shows(*control, "下载"));

  const Value* after = run.first("tree", 1);
  ASSERT_TRUE(after);
  control = findNode(*after, "download:" + guid);
  ASSERT_TRUE(control);
  EXPECT_TRUE(shows(*control, "已下载"));
  EXPECT_FALSE(childOfClass(*control, "QLLDProgressView"));
  EXPECT_TRUE(hasEvent(run, "packageAdded"));

  ChildProcess packages({kTool, "--home", home.path().string(), "packages", "--json"});
  ASSERT_EQ(packages.wait(), 0) << packages.errors();
  auto listed = JsonCodec::parse(packages.output());
  ASSERT_TRUE(listed.ok());
  bool found = false;
  for (const Value& package : *listed->asArray()) found |= *package.find("guid") == Value(guid);
  EXPECT_TRUE(found) << packages.output();
}

TEST(ShopUiTest, TheServiceDownShowsTheFailurePageAndARetryAfterItStartsFillsTheScreen) {
  auto catalog = SampleCatalogOnce::catalog();
  // A port that was just free, and nothing listens on it yet.
  auto probe = service::EmoticonService::start({.catalog = catalog});
  ASSERT_TRUE(probe.ok());
  const int port = (*probe)->port();
  (*probe)->stop();
  probe->reset();

  TempDirectory home;
  auto script = home / "script.txt";
  ASSERT_TRUE(FileSystem::writeAtomically(
                  script, "shop\nsettle\ntree\nwait 3\ntap \"retry\"\nsettle\ntree\nback\n")
                  .ok());
  const std::string api = "http://127.0.0.1:" + std::to_string(port) + "/api/v1";
  ChildProcess child({kTool, "--home", home.path().string(), "--api", api, "--app-id",
                      service::EmoticonService::kDemoAppId, "--secret", service::EmoticonService::kDemoAppSecret,
                      "ui", "--script", script.string()});
  auto firstLine = child.readLine();
  ASSERT_TRUE(firstLine) << child.errors();
  auto failed = JsonCodec::parse(*firstLine);
  ASSERT_TRUE(failed.ok());
  const Value* tree = failed->find("tree");
  ASSERT_TRUE(tree) << *firstLine;
  EXPECT_TRUE(shows(*tree, "页面加载失败，请检查网络后重试"));
  const Value* retry = findNode(*tree, "retry");
  ASSERT_TRUE(retry);
  EXPECT_TRUE(shows(*retry, "重新加载"));
  EXPECT_TRUE(findNodes(*tree, "package:").empty());

  // The service comes up while the script waits; the retry then loads.
  auto started = service::EmoticonService::start({.catalog = catalog, .port = port});
  ASSERT_TRUE(started.ok()) << started.error().toString();
  ASSERT_EQ(child.wait(), 0) << child.errors();
  std::vector<Value> lines = jsonLines(child.output());
  ScriptRun rest{0, lines, child.errors()};
  const Value* filled = rest.first("tree");
  ASSERT_TRUE(filled);
  EXPECT_FALSE(findNode(*filled, "retry"));
  EXPECT_TRUE(findNode(*filled, "banner"));
  EXPECT_GE(findNodes(*filled, "package:").size(), 2u);
  EXPECT_TRUE(hasEvent(rest, "dismissShop"));
}

}  // namespace
}  // namespace vexa::test
