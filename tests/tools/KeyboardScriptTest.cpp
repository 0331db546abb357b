// The emotion keyboard through `vexa ui`, after install-defaults into the
// scene's home: its pages, tool bar, send button, swipes, preview,
// recommended group and failure panel, as a user sees them. The scripts
// need the driver's `attach` step; until a build has it they are skipped.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "ServiceFixture.h"
#include "UiScript.h"
#include "support/TempDirectory.h"

namespace vexa::test {
namespace {

class KeyboardScriptTest : public ToolServiceTest {
 protected:
  // A home with the default packages and, when named, a sticker package.
  void prepare(const std::vector<std::string>& stickers = {}) {
    ChildProcess defaults(tool({"install-defaults"}));
    ASSERT_EQ(defaults.wait(), 0) << defaults.errors();
    for (const auto& guid : stickers) {
      ChildProcess install(tool({"install", guid}));
      ASSERT_EQ(install.wait(), 0) << install.errors();
    }
  }
  // Runs the script against the test's service (or other globals); skips
  // the test when this build cannot attach yet.
  ScriptRun run(const std::string& script, std::vector<std::string> extra = {},
                std::optional<std::vector<std::string>> otherGlobals = std::nullopt) {
    ScriptRun result = runScript(home_, script, std::move(extra), otherGlobals.value_or(globals()));
    if (result.errors.find("attach is not available in this build") != std::string::npos)
      skipped_ = true;
    return result;
  }

  bool skipped_ = false;
};

#define SKIP_UNTIL_ATTACH() \
  if (skipped_) GTEST_SKIP() << "the driver's attach step is not in this build"

TEST_F(KeyboardScriptTest, SmallEmojiPagesAreThreeBySevenEndingWithBackspace) {
  prepare();
  ScriptRun result = run("attach\nsettle\ntree\n");
  SKIP_UNTIL_ATTACH();
  ASSERT_EQ(result.status, 0) << result.errors;
  const Value& t = tree(result);
  auto emojis = findNodes(t, "emoji:");
  const Value* backspace = findNode(t, "backspace");
  ASSERT_EQ(emojis.size(), 20u);
  ASSERT_TRUE(backspace);
  std::set<double> xs, ys;
  for (const Value* e : emojis) {
    xs.insert(frameOf(*e).x());
    ys.insert(frameOf(*e).y());
  }
  EXPECT_EQ(xs.size(), 7u);
  EXPECT_EQ(ys.size(), 3u);
  // The key takes the last place of the page: bottom row, last column.
  EXPECT_EQ(frameOf(*backspace).x(), *xs.rbegin());
  EXPECT_EQ(frameOf(*backspace).y(), *ys.rbegin());
  ASSERT_TRUE(findNode(t, "send"));
  EXPECT_DOUBLE_EQ(frameOf(*findNode(t, "send")).maxX(), 375);  // shown on a small-emoji tab
}

TEST_F(KeyboardScriptTest, ToolBarHeightFollowsTheScreen) {
  prepare();
  for (auto [size, scale, height] : {std::tuple{"375x667", "2", 39.0}, {"320x568", "2", 33.0},
                                     {"414x736", "3", 42.0}}) {
    ScriptRun result = run("attach\nsettle\ntree\n", {"--size", size, "--scale", scale});
    SKIP_UNTIL_ATTACH();
    ASSERT_EQ(result.status, 0) << result.errors;
    const Value* shop = findNode(tree(result), "shop");
    ASSERT_TRUE(shop) << size;
    EXPECT_EQ(frameOf(*shop).height(), height) << size;
  }
}

TEST_F(KeyboardScriptTest, StickerPagesAreTwoByFourWithCaptionsAndNoSendButton) {
  prepare({"pkg-mochi-cat"});
  ScriptRun result = run("attach\nsettle\ntap \"tab:pkg-mochi-cat\"\nsettle\ntree\n");
  SKIP_UNTIL_ATTACH();
  ASSERT_EQ(result.status, 0) << result.errors;
  const Value& t = tree(result);
  auto stickers = findNodes(t, "emoji:");
  ASSERT_EQ(stickers.size(), 8u);
  EXPECT_FALSE(findNode(t, "backspace"));
  for (const Value* s : stickers) EXPECT_FALSE(s->find("label")->asString()->empty()) << "a caption";
  const Value* send = findNode(t, "send");
  EXPECT_TRUE(!send || frameOf(*send).x() >= 375) << "the send button is off the right edge";
}

TEST_F(KeyboardScriptTest, ASwipePastTheLastPageSelectsTheNextTab) {
  prepare();
  // 24 emojis: two pages; the second swipe leaves the first package.
  ScriptRun result = run("attach\nsettle\ndrag 300 560 60 560 0.3\nsettle\ndrag 300 560 60 560 0.3\nsettle\ntree\n");
  SKIP_UNTIL_ATTACH();
  ASSERT_EQ(result.status, 0) << result.errors;
  const Value& t = tree(result);
  const Value* next = findNode(t, "tab:pkg-everyday");
  ASSERT_TRUE(next);
  EXPECT_EQ(*next->find("selected"), Value(true));
  EXPECT_EQ(*findNode(t, "tab:pkg-classic-faces")->find("selected"), Value(false));
}

TEST_F(KeyboardScriptTest, AHeldPressShowsTheEightyPointPreviewButNotOnBackspace) {
  prepare();
  ScriptRun result = run("attach\nsettle\nhold \"emoji:微笑\" 0.6\ntree\nrelease\nhold \"backspace\" 0.6\ntree\nrelease\n");
  SKIP_UNTIL_ATTACH();
  ASSERT_EQ(result.status, 0) << result.errors;
  auto popovers = findWith(tree(result), "class", "QLPopoverView");
  ASSERT_EQ(popovers.size(), 1u);
  auto pictures = findWith(*popovers[0], "class", "ImageView");
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(frameOf(*pictures[0]).size, (Size{80, 80}));
  EXPECT_TRUE(findWith(tree(result, 1), "class", "QLPopoverView").empty());
}

TEST_F(KeyboardScriptTest, ARecommendedCardDownloadsAndEndsWithItsTab) {
  prepare();
  ScriptRun result = run(
      "attach\nsettle\ntap \"tab:recommend\"\ntree\ntap \"download:pkg-mochi-cat\"\nsettle\ntree\n");
  SKIP_UNTIL_ATTACH();
  ASSERT_EQ(result.status, 0) << result.errors;
  const Value* control = findNode(tree(result), "download:pkg-mochi-cat");
  ASSERT_TRUE(control);
  EXPECT_FALSE(findWith(*control, "text", "下载").empty());
  const Value& after = tree(result, 1);
  EXPECT_TRUE(findNode(after, "tab:pkg-mochi-cat")) << "the new package has its tab";
  EXPECT_FALSE(findNode(after, "download:pkg-mochi-cat"));
}

TEST_F(KeyboardScriptTest, WithoutDefaultPackagesTheFailurePanelCoversOnlyTheGrid) {
  // No service to install from: the default packages never arrive.
  ScriptRun result = run("attach\nsettle\ntree\n", {},
                         std::vector<std::string>{"--api", "http://127.0.0.1:9/api/v1", "--app-id",
                                                  service::EmoticonService::kDemoAppId, "--secret",
                                                  service::EmoticonService::kDemoAppSecret});
  SKIP_UNTIL_ATTACH();
  ASSERT_EQ(result.status, 0) << result.errors;
  const Value& t = tree(result);
  EXPECT_TRUE(findNodes(t, "tab:").empty());
  EXPECT_EQ(findWith(t, "text", "表情键盘初始化失败，请检查网络后重试").size(), 1u);
  const Value* retry = findNode(t, "retry");
  ASSERT_TRUE(retry);
  EXPECT_EQ(*retry->find("text"), Value("点击刷新"));
  const Value* shop = findNode(t, "shop");
  ASSERT_TRUE(shop) << "the tool bar stays on screen";
  EXPECT_GT(frameOf(*shop).y(), frameOf(*retry).maxY());
}

}  // namespace
}  // namespace vexa::test
