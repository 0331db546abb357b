// The centre through `vexa ui`, as a user meets it: the default packages
// arriving behind the loading animation or the failure panel, a message
// composed with inline emojis and sent, stickers and long presses with
// their usage reports, and input tips.
#include <gtest/gtest.h>

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

// Where the input's first character ends and the next begins, with the
// system keyboard up: the bar sits on the 216-point keyboard.
constexpr const char* kTapAfterFirstCharacter = "tap 30 426\n";

class CentreScriptTest : public ServiceTest {
 protected:
  std::vector<std::string> globals(const std::string& apiBase, const std::string& filesBase) const {
    return {"--api", apiBase, "--files", filesBase, "--app-id", service::EmoticonService::kDemoAppId,
            "--secret", service::EmoticonService::kDemoAppSecret};
  }
  std::vector<std::string> globals() const { return globals(service->apiBase(), service->filesBase()); }
  std::vector<std::string> tool(std::vector<std::string> command) const {
    std::vector<std::string> argv{kTool, "--home", home_.path().string()};
    for (const auto& g : globals()) argv.push_back(g);
    argv.insert(argv.end(), command.begin(), command.end());
    return argv;
  }
  void install(const std::vector<std::string>& command) {
    ChildProcess child(tool(command));
    ASSERT_EQ(child.wait(), 0) << child.errors();
  }
  ScriptRun run(const std::string& script, std::vector<std::string> extra = {}) {
    return runScript(home_, script, std::move(extra), globals());
  }
  std::vector<Value> emojiReports(const std::string& action) const {
    std::vector<Value> out;
    for (const Value& r : service->reports().reports())
      if (*r.find("kind") == Value("emoji") && *r.find("action") == Value(action)) out.push_back(r);
    return out;
  }
  size_t requests(const std::string& path) const {
    size_t n = 0;
    for (const Value& e : service->log().entries()) n += *e.find("path") == Value(path);
    return n;
  }
  std::vector<Value> events(const ScriptRun& result, const std::string& name) const {
    std::vector<Value> out;
    for (const Value& line : result.lines)
      if (const Value* e = line.find("event"); e && *e == Value(name)) out.push_back(line);
    return out;
  }

  TempDirectory home_;
};

TEST_F(CentreScriptTest, AttachShowsTheAnimationOverTheEmojiAreaThenThePages) {
  ScriptRun result = run("attach\ntree\nsettle\ntree\n");
  ASSERT_EQ(result.status, 0) << result.errors;
  const Value* loading = findNode(*result.first("tree"), "loading");
  ASSERT_TRUE(loading) << "the animation is up while the defaults download";
  Rect r = frameOf(*loading);
  EXPECT_DOUBLE_EQ(r.midX(), 187.5);
  EXPECT_DOUBLE_EQ(r.midY(), 667 - 216 + (216 - 39) / 2.0) << "the middle of the emoji area";
  const Value& pages = *result.first("tree", 1);
  EXPECT_FALSE(findNode(pages, "loading"));
  EXPECT_EQ(findNodes(pages, "emoji:").size(), 20u);
  EXPECT_EQ(requests("/api/v1/category/code/default"), 1u);
}

TEST_F(CentreScriptTest, WithTheServiceDownThePanelThenADoubleTapOnRetryDownloadsOnce) {
  // Down: the port of a stopped service. It comes back on the same port
  // once the panel is on screen.
  const int port = service->port();
  const auto api = service->apiBase(), files = service->filesBase();
  service->stop();
  auto path = home_ / "script.txt";
  // The second tap lands where the button was.
  ASSERT_TRUE(FileSystem::writeAtomically(path, "attach\nsettle\ntree\nwait 4\ntap \"点击刷新\"\n"
                                                "tap 187 593\nsettle\ntree\n")
                  .ok());
  std::vector<std::string> argv{kTool, "--home", home_.path().string()};
  for (const auto& g : globals(api, files)) argv.push_back(g);
  argv.insert(argv.end(), {"ui", "--script", path.string()});
  ChildProcess child(argv);
  auto first = child.readLine();
  ASSERT_TRUE(first) << child.errors();
  auto failed = JsonCodec::parse(*first);
  ASSERT_TRUE(failed.ok());
  const Value* panel = failed->find("tree");
  ASSERT_TRUE(panel) << *first;
  EXPECT_EQ(findWith(*panel, "text", "表情键盘初始化失败，请检查网络后重试").size(), 1u);
  EXPECT_TRUE(findNode(*panel, "retry"));

  auto restarted = service::EmoticonService::start({.catalog = SampleCatalogOnce::catalog(), .port = port});
  ASSERT_TRUE(restarted.ok()) << restarted.error().toString();
  service = std::move(*restarted);
  ASSERT_EQ(child.wait(), 0) << child.errors();
  std::vector<Value> rest = jsonLines(child.output());
  ASSERT_FALSE(rest.empty());
  const Value* after = rest.back().find("tree");
  ASSERT_TRUE(after);
  const Value& pages = *after;
  EXPECT_FALSE(findNode(pages, "retry"));
  EXPECT_EQ(findNodes(pages, "emoji:").size(), 20u);
  EXPECT_EQ(requests("/api/v1/category/code/default"), 1u) << "one download for two taps";
  EXPECT_EQ(requests("/files/pkg-classic-faces.zip"), 1u);
  EXPECT_EQ(requests("/files/pkg-everyday.zip"), 1u);
}

TEST_F(CentreScriptTest, AMessageWithInlineEmojisIsSentAndStickersAndPressesAreReported) {
  install({"install-defaults"});
  install({"install", "pkg-mochi-cat"});
  ScriptRun result = run(std::string("focus\ntype \"你好\"\n") + kTapAfterFirstCharacter +
                         "input\nattach\nsettle\ntap \"emoji:微笑\"\ninput\ntap \"backspace\"\ninput\n"
                         "tap \"emoji:微笑\"\ntap \"send\"\n"
                         "tap \"tab:pkg-mochi-cat\"\nsettle\ntap \"emoji:早安\"\npress \"emoji:晚安\" 0.8\nsettle\n"
                         "tap \"input\"\ninput\n");
  ASSERT_EQ(result.status, 0) << result.errors;
  ASSERT_EQ(*result.first("input")->find("caret"), Value(1)) << "the caret between the two characters";
  EXPECT_EQ(*result.first("input", 1), Value::dict({{"plain", "你[微笑]好"}, {"caret", 2}, {"attachments", 1},
                                                    {"firstResponder", true}, {"keyboard", "emotion"}}));
  const Value& removed = *result.first("input", 2);
  EXPECT_EQ(*removed.find("plain"), Value("你好"));
  EXPECT_EQ(*removed.find("caret"), Value(1));

  auto sent = events(result, "didSendWithInput");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(*sent[0].find("plain"), Value("你[微笑]好"));
  auto stickers = events(result, "didSelectEmoji");
  ASSERT_EQ(stickers.size(), 1u) << "inline emojis are not the host's";
  EXPECT_EQ(*stickers[0].find("emoji")->find("code"), Value("早安"));

  // A tap on the input gives it the system keyboard back.
  EXPECT_EQ(events(result, "tapOverlay").size(), 1u);
  EXPECT_EQ(*result.first("input", 3)->find("keyboard"), Value("system"));

  auto sends = emojiReports("send");
  ASSERT_EQ(sends.size(), 1u);
  EXPECT_EQ(*sends[0].find("emoji_id"), Value("emo-mochi-cat-01"));
  auto views = emojiReports("view");
  ASSERT_EQ(views.size(), 1u);
  EXPECT_EQ(*views[0].find("emoji_id"), Value("emo-mochi-cat-02"));
}

TEST_F(CentreScriptTest, WithoutMixedModeSmallEmojisGoToTheHost) {
  install({"install-defaults"});
  ScriptRun result = run("attach\nsettle\ntap \"emoji:微笑\"\ninput\ntree\n", {"--no-mixed"});
  ASSERT_EQ(result.status, 0) << result.errors;
  auto picked = events(result, "didSelectEmoji");
  ASSERT_EQ(picked.size(), 1u);
  EXPECT_EQ(*picked[0].find("emoji")->find("code"), Value("微笑"));
  EXPECT_EQ(*result.first("input")->find("plain"), Value(""));
  EXPECT_FALSE(findNode(*result.first("tree"), "backspace"));
}

TEST_F(CentreScriptTest, TipsForAStoredKeywordAreTappedOrLeaveAfterFiveSeconds) {
  install({"install-defaults"});
  install({"install", "pkg-mochi-cat"});
  ScriptRun result = run(
      "tips on\nfocus\ntype \"早安\"\ntree\ntap \"tip:早安\"\ntree\n"
      "key backspace\nkey backspace\ntype \"晚安\"\ntree\nwait 5.1\ntree\n"
      "tips off\nkey backspace\nkey backspace\ntype \"早安\"\ntree\n");
  ASSERT_EQ(result.status, 0) << result.errors;
  auto popovers = [&result](size_t i) { return findWith(*result.first("tree", i), "class", "QLPopoverView"); };
  ASSERT_EQ(popovers(0).size(), 1u);
  const Value* tip = findNode(*popovers(0)[0], "tip:早安");
  ASSERT_TRUE(tip);
  EXPECT_EQ(*tip->find("label"), Value("早安"));
  EXPECT_EQ(frameOf(*tip).size, (Size{50, 50})) << "one tip: 60 x 1 - 10 points";
  EXPECT_LE(frameOf(*popovers(0)[0]).maxY(), 667 - 216 - 50) << "above the input bar";

  auto picked = events(result, "didSelectTipEmoji");
  ASSERT_EQ(picked.size(), 1u);
  EXPECT_EQ(*picked[0].find("emoji")->find("code"), Value("早安"));
  EXPECT_TRUE(popovers(1).empty()) << "a tap closes the tips";
  EXPECT_EQ(popovers(2).size(), 1u);
  EXPECT_TRUE(popovers(3).empty()) << "gone 5 seconds later";
  EXPECT_TRUE(popovers(4).empty()) << "no tips once they are off";
}

}  // namespace
}  // namespace vexa::test
