#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "vexa/text/EmojiCodeScanner.h"

namespace vexa {
namespace {

std::vector<std::string> codesOf(std::string_view text) {
  std::vector<std::string> codes;
  for (const auto& m : EmojiCodeScanner::findAll(text)) codes.emplace_back(m.code(text));
  return codes;
}

TEST(EmojiCodeScannerTest, FindsCodesLikeThePattern) {
  struct Case {
    std::string text;
    std::vector<std::string> codes;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"no brackets", {}},
      {"x[a][b]y", {"a", "b"}},
      {"[a[b]", {"b"}},
      {"[a[b]]", {"b"}},
      {"[]", {}},
      {"a[]b", {}},
      {"[[]]", {}},
      {"[abc", {}},
      {"abc]", {}},
      {"]x[", {}},
      {"[smile]", {"smile"}},
      {"[smile]hi[smile]", {"smile", "smile"}},
      {"[ ]", {" "}},
      {"[][a]", {"a"}},
      {"[a]]", {"a"}},
      {"[[a]", {"a"}},
      {"[微笑]你好[大哭]", {"微笑", "大哭"}},
      {"[\n]", {"\n"}},
      {std::string("[a\0b]", 5), {std::string("a\0b", 3)}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(codesOf(c.text), c.codes) << "text: " << c.text;
  }
}

TEST(EmojiCodeScannerTest, RangesCoverTheBracketsAndNeverSplitACharacter) {
  std::string text = "前[笑脸]后";
  auto matches = EmojiCodeScanner::findAll(text);
  ASSERT_EQ(matches.size(), 1u);
  EXPECT_EQ(matches[0].location, 3u);
  EXPECT_EQ(matches[0].length, 8u);
  EXPECT_EQ(matches[0].whole(text), "[笑脸]");
  EXPECT_EQ(text.substr(0, matches[0].location), "前");
  EXPECT_EQ(text.substr(matches[0].end()), "后");
}

// The scanner must find exactly what the regular expression finds, over
// strings made mostly of brackets, with multi-byte characters between them.
TEST(EmojiCodeScannerTest, EqualsTheRegularExpressionOnRandomText) {
  const std::regex pattern(R"(\[([^\[\]]+)\])");
  const std::vector<std::string> alphabet = {"[", "]", "[", "]", "a", "b", " ", "中", "😀", "\n", "\xFF"};
  std::mt19937 random(20240611);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    size_t n = random() % 24;
    for (size_t i = 0; i < n; ++i) text += alphabet[random() % alphabet.size()];

    std::vector<EmojiCodeMatch> expected;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) {
      expected.push_back({static_cast<size_t>(it->position(0)), static_cast<size_t>(it->length(0))});
      ASSERT_EQ(static_cast<size_t>(it->position(1)), expected.back().codeLocation());
      ASSERT_EQ(static_cast<size_t>(it->length(1)), expected.back().codeLength());
    }
    ASSERT_EQ(EmojiCodeScanner::findAll(text), expected) << "text: " << text;
  }
}

}  // namespace
}  // namespace vexa
