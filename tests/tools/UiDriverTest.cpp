// The `vexa ui` driver run as a user runs it: scripts in, JSON lines and
// PNG shots out, failures as "vexa: line N: why".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "UiScript.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/JsonCodec.h"
#include "vexa/store/image/QLImageDecoder.h"
#include "support/TempDirectory.h"

namespace vexa::test {
namespace {

TEST(UiDriverTest, TypesIntoTheInputAboveTheKeyboardAndReadsTextAndCaretBack) {
  TempDirectory home;
  ScriptRun run = runScript(home, "# the system keyboard\nfocus\ntype \"你好\"\ninput\n\nkey backspace\ninput\ntree\n");
  ASSERT_EQ(run.status, 0) << run.errors;
  const Value* typed = run.first("input");
  ASSERT_TRUE(typed);
  EXPECT_EQ(*typed, Value::dict({{"plain", "你好"}, {"caret", 2}, {"attachments", 0},
                                 {"firstResponder", true}, {"keyboard", "system"}}));
  const Value* deleted = run.first("input", 1);
  ASSERT_TRUE(deleted);
  EXPECT_EQ(*deleted->find("plain"), Value("你"));
  EXPECT_EQ(*deleted->find("caret"), Value(1));

  const Value* tree = run.first("tree");
  ASSERT_TRUE(tree);
  EXPECT_EQ(*tree->find("class"), Value("Window"));
  const Value* input = findNode(*tree, "input");
  ASSERT_TRUE(input);
  EXPECT_EQ(*input->find("text"), Value("你"));
  EXPECT_EQ(*input->find("class"), Value("TextAreaView"));
  const Value* key = findNode(*tree, "key:q");
  ASSERT_TRUE(key) << "the stand-in keyboard is on screen";
  Rect keyboardTop = frameOf(*key);
  Rect field = frameOf(*input);
  EXPECT_LE(field.maxY(), 667 - 216) << "the input bar sits above the keyboard";
  EXPECT_GT(keyboardTop.y(), 667 - 216);
}

TEST(UiDriverTest, BarButtonsCarryTheBarsTint) {
  TempDirectory home;
  auto shot = home / "bar.png";
  ScriptRun run = runScript(home, "tree\nshot \"" + shot.string() + "\"\n", {"--scale", "2"});
  ASSERT_EQ(run.status, 0) << run.errors;
  const Value* chats = findNode(*run.first("tree"), "chats");
  ASSERT_TRUE(chats) << "the chat screen's left bar button";
  auto bytes = FileSystem::readFile(shot);
  ASSERT_TRUE(bytes.ok());
  auto image = QLImageDecoder::ql_sd_imageWithData(
      std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
  ASSERT_TRUE(image);
  const Bitmap& pixels = image->bitmap();
  Rect f = frameOf(*chats);
  // The host's brand green tints the bar's items; the picture itself is white.
  const uint32_t tint = 0xff1aad19u, original = 0xffffffffu;
  int tinted = 0, untinted = 0;
  for (int y = int(f.y() * 2); y < int(f.maxY() * 2); ++y)
    for (int x = int(f.x() * 2); x < int(f.maxX() * 2); ++x) {
      tinted += pixels.pixel(x, y) == tint;
      untinted += pixels.pixel(x, y) == original;
    }
  EXPECT_GT(tinted, 20) << "the picture is drawn in the bar's tint";
  EXPECT_EQ(untinted, 0);
}

TEST(UiDriverTest, AFailingStepEndsTheRunWithItsLineNumber) {
  TempDirectory home;
  ScriptRun unknown = runScript(home, "tree\n\ntap \"没有这个按钮\"\ntree\n");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.errors, "vexa: line 3: nothing on screen matches \"没有这个按钮\"\n");
  ASSERT_EQ(unknown.lines.size(), 1u) << "the steps before it ran, none after";

  ScriptRun syntax = runScript(home, "tree\npress \"input\"\n");
  EXPECT_EQ(syntax.status, 1);
  EXPECT_EQ(syntax.errors, "vexa: line 2: usage: press TARGET SECONDS\n");
  EXPECT_TRUE(syntax.lines.empty()) << "a bad script runs no step";

  ScriptRun typing = runScript(home, "type \"hi\"\n");
  EXPECT_EQ(typing.errors, "vexa: line 1: the system keyboard is not shown\n");

  ChildProcess badSize({kTool, "--home", home.path().string(), "ui", "--size", "0x10"});
  EXPECT_EQ(badSize.wait(), 2);
}

TEST(UiDriverTest, AHeldFingerActsOnlyWhenReleased) {
  TempDirectory home;
  ScriptRun run = runScript(home, "settle 5\nfocus\nhold \"key:a\" 0.3\ninput\nrelease\ninput\nrelease\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.errors, "vexa: line 7: no finger is held down\n");
  ASSERT_EQ(run.lines.size(), 2u);
  EXPECT_EQ(*run.first("input")->find("plain"), Value("")) << "a key types when lifted";
  EXPECT_EQ(*run.first("input", 1)->find("plain"), Value("a"));
}

TEST(UiDriverTest, ShotOfTheHostSceneFromStandardInput) {
  TempDirectory home;
  auto shot = home / "chat.png";
  ChildProcess child({"/bin/sh", "-c", "printf 'shot %s\\n' \"$2\" | \"$0\" --home \"$1\" ui --script -", kTool,
                      home.path().string(), shot.string()});
  ASSERT_EQ(child.wait(), 0) << child.errors();
  EXPECT_EQ(child.output(), "");
  auto bytes = FileSystem::readFile(shot);
  ASSERT_TRUE(bytes.ok());
  auto image = QLImageDecoder::ql_sd_imageWithData(
      std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixelWidth(), 750);
  EXPECT_EQ(image->pixelHeight(), 1334);
}

}  // namespace
}  // namespace vexa::test
