#include <gtest/gtest.h>

#include <set>

#include "vexa/text/QLEmotionEmoji.h"
#include "vexa/text/QLEmotionString.h"

namespace vexa {
namespace {

TEST(QLEmotionStringTest, Md5OfTheStandardsTestStrings) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      {"中文", "a7bac2239fcdcb3a067903d8077c4a07"},
  };
  for (const auto& [text, digest] : cases) EXPECT_EQ(QLEmotionString::ql_md5(text), digest) << text;
}

TEST(QLEmotionEmojiTest, GroupsInOrderWithTheirFirstSequences) {
  EXPECT_TRUE(QLEmotionEmoji::ql_allEmojiByGroup("people")->starts_with("\xF0\x9F\x98\x84\xF0\x9F\x98\x83\xF0\x9F\x98\x80"));
  EXPECT_TRUE(QLEmotionEmoji::ql_allEmojiByGroup("nature")->starts_with("\xF0\x9F\x90\xB6\xF0\x9F\x90\xBA\xF0\x9F\x90\xB1"));
  EXPECT_TRUE(QLEmotionEmoji::ql_allEmojiByGroup("object")->starts_with("\xF0\x9F\x8E\x8D\xF0\x9F\x92\x9D\xF0\x9F\x8E\x8E"));
  EXPECT_TRUE(QLEmotionEmoji::ql_allEmojiByGroup("places")->starts_with("\xF0\x9F\x8F\xA0\xF0\x9F\x8F\xA1\xF0\x9F\x8F\xAB"));
  EXPECT_TRUE(QLEmotionEmoji::ql_allEmojiByGroup("symbols")->starts_with("1\xEF\xB8\x8F\xE2\x83\xA3" "2\xEF\xB8\x8F\xE2\x83\xA3"));
  EXPECT_EQ(QLEmotionEmoji::ql_allEmojiByGroup("animals"), std::nullopt);
  EXPECT_EQ(QLEmotionEmoji::ql_allEmojiByGroup(std::nullopt), std::nullopt);

  std::string joined;
  for (auto name : {"people", "nature", "object", "places", "symbols"}) joined += *QLEmotionEmoji::ql_allEmojiByGroup(name);
  EXPECT_EQ(QLEmotionEmoji::ql_allEmoji(), joined);
}

TEST(QLEmotionEmojiTest, AllEmojiArrayHasOneElementPerVisibleEmoji) {
  const auto& all = QLEmotionEmoji::ql_allEmojiArray();
  std::string joined;
  for (const auto& e : all) joined += e;
  EXPECT_EQ(joined, QLEmotionEmoji::ql_allEmoji());
  std::set<std::string> distinct(all.begin(), all.end());
  EXPECT_EQ(distinct.size(), all.size());
  // Keycaps, flags and skin-toned hands are single elements.
  EXPECT_TRUE(distinct.count("1\xEF\xB8\x8F\xE2\x83\xA3"));
  EXPECT_TRUE(distinct.count("\xF0\x9F\x87\xA8\xF0\x9F\x87\xB3"));
  EXPECT_TRUE(distinct.count("\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"));
  EXPECT_EQ(all.front(), "\xF0\x9F\x98\x84");
}

TEST(QLEmotionEmojiTest, ContainsEmojiAndCharacterSets) {
  EXPECT_TRUE(QLEmotionEmoji::ql_containsEmoji("hi \xF0\x9F\x98\x80"));
  EXPECT_FALSE(QLEmotionEmoji::ql_containsEmoji("hello 你好"));
  EXPECT_TRUE(QLEmotionEmoji::ql_containsEmoji("room 7")) << "keycap digits count";
  EXPECT_FALSE(QLEmotionEmoji::ql_containsEmoji(""));
  auto set = CharacterSet::fromString("中x");
  EXPECT_TRUE(QLEmotionEmoji::ql_containsCharacterSet("a中b", &set));
  EXPECT_FALSE(QLEmotionEmoji::ql_containsCharacterSet("abc", &set));
  EXPECT_FALSE(QLEmotionEmoji::ql_containsCharacterSet("abc", nullptr));
  EXPECT_EQ(CharacterSet::whitespaceAndNewlines().trim(" \t\u3000中 文\n"), "中 文");
  EXPECT_EQ(CharacterSet::whitespaceAndNewlines().trim("   "), "");
}

}  // namespace
}  // namespace vexa
