// `vexa ui --window` under a virtual X server: xdotool's clicks and typing
// reach the scene as touches and keys at the monitor's scale, and the tool
// prints the input's state when the window is closed. Skipped, saying why,
// where the tool has no window or no X server can be started. Every wait
// is bounded; the X server and the tool are killed on every path.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "ServiceFixture.h"
#include "UiScript.h"
#include "support/ExternalTools.h"
#include "support/TempDirectory.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/JsonCodec.h"

namespace vexa::test {
namespace {

constexpr auto kLimit = std::chrono::seconds(20);

class WindowTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    // A tool built without GTK says so before it looks for a display.
    ChildProcess probe({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", kTool, "ui", "--window"});
    probe.wait(kLimit);
    if (probe.errors().find("not available in this build") != std::string::npos)
      GTEST_SKIP() << "this build has no desktop window (no GTK 4, or a sanitizer build)";
    if (!hasTool("Xvfb") || !hasTool("xdotool"))
      GTEST_SKIP() << "Xvfb and xdotool are not installed (scripts/setup.sh installs them)";
    xserver_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        "/usr/bin/env", "Xvfb", "-displayfd", "1", "-screen", "0", "800x1400x24", "-nolisten", "tcp"});
    auto number = xserver_->readLine(kLimit);
    if (!number) {
      xserver_->wait(std::chrono::seconds(2));
      GTEST_SKIP() << "no X server could be started: " << xserver_->errors();
    }
    display_ = ":" + *number;
  }

  // The command on the virtual display, with the monitor's scale.
  std::vector<std::string> onDisplay(std::vector<std::string> command, int monitorScale = 1) const {
    std::vector<std::string> argv{"/usr/bin/env", "-u", "WAYLAND_DISPLAY", "DISPLAY=" + display_,
                                  "GDK_BACKEND=x11", "GTK_A11Y=none", "GDK_SCALE=" + std::to_string(monitorScale)};
    argv.insert(argv.end(), command.begin(), command.end());
    return argv;
  }
  std::string xdotool(std::vector<std::string> args) {
    std::vector<std::string> command{"timeout", "10", "xdotool"};
    command.insert(command.end(), args.begin(), args.end());
    std::string out;
    EXPECT_EQ(runCommand(onDisplay(command), {}, &out), 0) << "xdotool " << args.front();
    return out;
  }

  // Runs the script, which prints a tree, and waits for the window. False
  // when the tool ended first (its status and errors are in tool_).
  bool open(const std::string& script, int monitorScale) {
    auto path = home_ / "script.txt";
    EXPECT_TRUE(FileSystem::writeAtomically(path, script).ok());
    tool_ = std::make_unique<ChildProcess>(onDisplay(
        {kTool, "--home", home_.path().string(), "--api", service->apiBase(), "--files", service->filesBase(),
         "--app-id", service::EmoticonService::kDemoAppId, "--secret", service::EmoticonService::kDemoAppSecret,
         "ui", "--window", "--script", path.string()},
        monitorScale));
    for (auto line = tool_->readLine(kLimit); line; line = tool_->readLine(kLimit)) {
      auto json = JsonCodec::parse(*line);
      if (json.ok() && json->find("tree")) {
        tree_ = *json->find("tree");
        break;
      }
    }
    if (tree_.isNull()) return false;
    window_ = xdotool({"search", "--sync", "--onlyvisible", "--name", "^Vexa$"});
    window_ = window_.substr(0, window_.find('\n'));
    return !window_.empty();
  }
  // Clicks the centre of the view, in window points times the monitor's scale.
  void click(const std::string& id, int monitorScale) {
    const Value* node = findNode(tree_, id);
    ASSERT_TRUE(node) << id;
    Rect frame = frameOf(*node);
    xdotool({"mousemove", "--window", window_, std::to_string(static_cast<int>(frame.midX() * monitorScale)),
             std::to_string(static_cast<int>(frame.midY() * monitorScale)), "click", "1"});
  }
  // Closes the window as a user does and returns what the tool printed of
  // the input then.
  Value closeWindow() {
    xdotool({"key", "ctrl+q"});
    Value input;
    for (auto line = tool_->readLine(kLimit); line; line = tool_->readLine(kLimit)) {
      auto json = JsonCodec::parse(*line);
      if (json.ok() && json->find("input")) input = *json->find("input");
    }
    EXPECT_EQ(tool_->wait(kLimit), 0) << tool_->errors();
    return input;
  }

  TempDirectory home_;
  std::unique_ptr<ChildProcess> xserver_;
  std::string display_;
  std::unique_ptr<ChildProcess> tool_;
  Value tree_;
  std::string window_;
};

TEST_F(WindowTest, ClicksAndTypingReachTheSystemKeyboardAtTheMonitorsScale) {
  constexpr int kScale = 2;
  ASSERT_TRUE(open("focus\ntree\n", kScale)) << tool_->errors();
  click("key:q", kScale);
  xdotool({"type", "--delay", "20", "hi"});
  xdotool({"key", "BackSpace"});
  Value input = closeWindow();
  ASSERT_TRUE(input.find("plain")) << tool_->errors();
  EXPECT_EQ(*input.find("plain"), Value("qh"));
  EXPECT_EQ(*input.find("keyboard"), Value("system"));
}

TEST_F(WindowTest, AClickOnAnEmojiOfTheKeyboardPutsItInTheInput) {
  if (!open("attach\nsettle\ntree\n", 1)) {
    tool_->wait(kLimit);
    if (tool_->errors().find("attach is not available in this build") != std::string::npos)
      GTEST_SKIP() << "the driver's attach step is not in this build";
    FAIL() << "no window: " << tool_->errors();
  }
  auto emojis = findNodes(tree_, "emoji:");
  ASSERT_FALSE(emojis.empty());
  std::string id = *emojis.front()->find("id")->asString();
  click(id, 1);
  Value input = closeWindow();
  ASSERT_TRUE(input.find("plain")) << tool_->errors();
  EXPECT_EQ(*input.find("plain"), Value("[" + id.substr(6) + "]"));
  EXPECT_EQ(*input.find("attachments"), Value(1));
}

}  // namespace
}  // namespace vexa::test
