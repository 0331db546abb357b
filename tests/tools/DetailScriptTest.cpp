// The package detail, terms, big-emoji, my-emoticons and favourites screens
// through `vexa ui`, against the test's service: what they show, the
// requests and reports they cause, and the store they change.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "ServiceFixture.h"
#include "UiScript.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/JsonCodec.h"
#include "support/TempDirectory.h"

namespace vexa::test {
namespace {

bool shows(const Value& node, const std::string& text) { return !findWith(node, "text", text).empty(); }

size_t countOf(const std::vector<Value>& entries, const std::string& key, const std::string& value) {
  size_t n = 0;
  for (const Value& e : entries)
    if (const Value* v = e.find(key); v && *v == Value(value)) ++n;
  return n;
}

class DetailScriptTest : public ToolServiceTest {
 protected:
  void install(const std::string& guid) {
    ChildProcess installing(tool({"install", guid}));
    ASSERT_EQ(installing.wait(), 0) << installing.errors();
  }
  ScriptRun run(const std::string& script) { return runScript(home_, script, {}, globals()); }
  // Requests of the service whose decoded path starts with the prefix.
  size_t requests(const std::string& method, const std::string& prefix) const {
    size_t n = 0;
    for (const Value& e : service->log().entries())
      if (*e.find("method") == Value(method) && e.find("path")->asString()->starts_with(prefix)) ++n;
    return n;
  }
  std::vector<Value> reports(const std::string& kind) const {
    std::vector<Value> out;
    for (const Value& r : service->reports().reports())
      if (*r.find("kind") == Value(kind)) out.push_back(r);
    return out;
  }
  std::vector<std::string> storedGuids() {
    ChildProcess packages(tool({"packages", "--json"}));
    EXPECT_EQ(packages.wait(), 0) << packages.errors();
    auto listed = JsonCodec::parse(packages.output());
    std::vector<std::string> guids;
    if (listed.ok())
      for (const Value& p : *listed->asArray()) guids.push_back(*p.find("guid")->asString());
    return guids;
  }

};

// The shop lists "Everyday" (twelve small emojis) in its last category.
constexpr const char* kOpenEveryday =
    "shop\nsettle\ndrag 187 600 187 100 0.5\ndrag 187 600 187 100 0.5\nsettle\n"
    "tap \"package:pkg-everyday\"\nsettle\n";

TEST_F(DetailScriptTest, ASmallEmojiPackageOpensWithItsGridAndAHeldPressShowsThePreview) {
  ScriptRun result = run(std::string(kOpenEveryday) +
                         "tree\nhold \"preview:wink\" 0.6\ntree\nrelease\nhold \"preview:smile\" 0.6\nrelease\n"
                         "settle\ntree\n");
  ASSERT_EQ(result.status, 0) << result.errors;
  const Value& detail = tree(result);
  ASSERT_TRUE(findNode(detail, "package:pkg-everyday"));
  ASSERT_TRUE(findNode(detail, "banner"));
  const Value* control = findNode(detail, "download:pkg-everyday");
  ASSERT_TRUE(control);
  EXPECT_TRUE(shows(*control, "下载"));
  EXPECT_TRUE(shows(detail, "Everyday"));
  EXPECT_TRUE(shows(detail, "长按表情可预览"));
  EXPECT_TRUE(shows(detail, "服务声明"));
  EXPECT_TRUE(shows(detail, "Copyright © Vexa Sample Studio"));
  // The shop's record had no emojis: they came from the service, once.
  EXPECT_EQ(requests("GET", "/api/v1/package/pkg-everyday/emojis"), 1u);
  auto cells = findNodes(detail, "preview:");
  ASSERT_EQ(cells.size(), 12u);
  std::set<double> xs, ys;
  for (const Value* c : cells) {
    xs.insert(frameOf(*c).x());
    ys.insert(frameOf(*c).y());
  }
  EXPECT_EQ(xs.size(), 7u);
  EXPECT_EQ(ys.size(), 2u);

  const Value& held = tree(result, 1);
  auto popovers = findWith(held, "class", "QLPopoverView");
  ASSERT_EQ(popovers.size(), 1u);
  auto pictures = findWith(*popovers[0], "class", "ImageView");
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(frameOf(*pictures[0]).width(), 118);
  EXPECT_EQ(frameOf(*pictures[0]).height(), 118);
  const Rect cell = frameOf(*findNode(held, "preview:wink"));
  EXPECT_LE(frameOf(*popovers[0]).maxY(), cell.y()) << "above the pressed emoji";
  EXPECT_TRUE(findWith(tree(result, 2), "class", "QLPopoverView").empty()) << "gone with the finger";

  auto packageViews = reports("package");
  EXPECT_EQ(countOf(packageViews, "action", "view"), 1u) << "one report per opening";
  auto emojiViews = reports("emoji");
  EXPECT_EQ(countOf(emojiViews, "action", "view"), 2u) << "one report per press";
  EXPECT_EQ(countOf(emojiViews, "emoji_text", "Wink"), 1u);
}

TEST_F(DetailScriptTest, TheTermsPageOpensFromTheFooterAndItsFailurePageRetries) {
  auto script = home_ / "script.txt";
  ASSERT_TRUE(FileSystem::writeAtomically(script, "shop\nsettle\ntap \"package:pkg-bouncy-blob\"\nsettle\n"
                                                  "drag 187 600 187 100 0.5\nsettle\ntree\nwait 3\n"
                                                  "tap \"服务声明\"\nsettle\ntree\nwait 3\n"
                                                  "tap \"retry\"\nsettle\ntree\nback\nback\n")
                  .ok());
  std::vector<std::string> argv = tool({"ui", "--script", script.string()});
  ChildProcess child(argv);
  auto line = child.readLine();
  ASSERT_TRUE(line) << child.errors();
  auto first = JsonCodec::parse(*line);
  ASSERT_TRUE(first.ok() && first->find("tree"));
  EXPECT_TRUE(shows(*first->find("tree"), "服务声明"));

  // The service goes down before the page is asked for...
  const int port = service->port();
  service->stop();
  line = child.readLine();
  ASSERT_TRUE(line) << child.errors();
  auto failed = JsonCodec::parse(*line);
  ASSERT_TRUE(failed.ok() && failed->find("tree"));
  const Value& down = *failed->find("tree");
  EXPECT_TRUE(shows(down, "页面加载失败，请检查网络后重试"));
  ASSERT_TRUE(findNode(down, "retry"));
  ASSERT_TRUE(findNode(down, "back"));

  // ... and is up again for the retry.
  auto restarted = service::EmoticonService::start({.catalog = SampleCatalogOnce::catalog(), .port = port});
  ASSERT_TRUE(restarted.ok()) << restarted.error().toString();
  service = std::move(*restarted);
  ASSERT_EQ(child.wait(), 0) << child.errors();
  ScriptRun rest{0, jsonLines(child.output()), child.errors()};
  const Value& page = tree(rest);
  EXPECT_FALSE(findNode(page, "retry"));
  EXPECT_FALSE(findWith(page, "class", "WebTextBlockView").empty());
  EXPECT_EQ(requests("GET", "/pages/sdk/term.html"), 1u) << "over plain HTTP, on the service's host";
}

TEST_F(DetailScriptTest, TheBigEmojiScreenShowsAStoredPackageWithoutAskingAndUnknownCodesFail) {
  install("pkg-bouncy-blob");
  const size_t described = requests("GET", "/api/v1/package/pkg-bouncy-blob");  // by the install
  ScriptRun result = run("emoji \"hello\"\nsettle\ntree\nback\nemoji \"没有这个表情\"\nsettle\ntree\n");
  ASSERT_EQ(result.status, 0) << result.errors;
  const Value& stored = tree(result);
  const Value* row = findNode(stored, "package:pkg-bouncy-blob");
  ASSERT_TRUE(row);
  EXPECT_TRUE(shows(*row, "Bouncy Blob"));
  EXPECT_TRUE(shows(*findNode(*row, "download:pkg-bouncy-blob"), "已下载"));
  EXPECT_EQ(requests("GET", "/api/v1/package/pkg-bouncy-blob"), described);

  const Value& unknown = tree(result, 1);
  EXPECT_TRUE(shows(unknown, "获取表情包信息失败"));
  EXPECT_TRUE(findNodes(unknown, "package:").empty());
}

TEST_F(DetailScriptTest, MyEmoticonsListsTheDownloadsAndRemovesOneWithOneReport) {
  install("pkg-bouncy-blob");
  install("pkg-little-robot");
  ScriptRun result = run("mine\nsettle\ntree\ntap \"remove:pkg-bouncy-blob\"\nsettle\ntree\nback\n");
  ASSERT_EQ(result.status, 0) << result.errors;
  const Value& listed = tree(result);
  EXPECT_TRUE(shows(listed, "我的表情"));
  EXPECT_TRUE(shows(listed, "已下载表情"));
  ASSERT_TRUE(findNode(listed, "package:pkg-bouncy-blob"));
  ASSERT_TRUE(findNode(listed, "package:pkg-little-robot"));
  EXPECT_TRUE(shows(*findNode(listed, "remove:pkg-bouncy-blob"), "移除"));

  const Value& after = tree(result, 1);
  EXPECT_FALSE(findNode(after, "package:pkg-bouncy-blob"));
  EXPECT_TRUE(findNode(after, "package:pkg-little-robot"));
  EXPECT_EQ(storedGuids(), std::vector<std::string>{"pkg-little-robot"});
  auto removals = reports("package");
  EXPECT_EQ(countOf(removals, "action", "remove"), 1u);
  bool announced = false;
  for (const Value& line : result.lines)
    announced |= line.find("event") && *line.find("event") == Value("packageRemoved");
  EXPECT_TRUE(announced);
}

TEST_F(DetailScriptTest, FavouritesCountThreePicksAndDeleteThem) {
  constexpr const char* kToTheEnd = "drag 187 600 187 100 0.5\nsettle\n";
  ScriptRun result = run(std::string("favourites\ntap \"edit\"\ntap \"favourite:0\"\ntap \"favourite:4\"\n"
                                     "tap \"favourite:5\"\ntree\ntap \"delete\"\n") + kToTheEnd + "tree\n");
  ASSERT_EQ(result.status, 0) << result.errors;
  const Value& picked = tree(result);
  EXPECT_TRUE(shows(picked, "删除 ( 3 )"));
  ASSERT_TRUE(findNode(picked, "delete"));
  const Value& done = tree(result, 1);
  EXPECT_TRUE(shows(done, "我的收藏表情"));
  ASSERT_TRUE(findNode(done, "edit"));
  // Seventeen pictures are left, and the add item is back after them.
  EXPECT_TRUE(findNode(done, "favourite:16"));
  EXPECT_FALSE(findNode(done, "favourite:17"));
  EXPECT_TRUE(findNode(done, "add"));
}

}  // namespace
}  // namespace vexa::test
