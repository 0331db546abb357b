#include <gtest/gtest.h>

#include <random>

#include "FakeEmojiSource.h"
#include "vexa/text/VXTextParser.h"

namespace vexa {
namespace {

using test::FakeEmojiWorld;
using test::makeVXEmoji;

// A compact picture of a result: text pieces as "'...'", emojis as "<code>".
std::string describe(const VXTextElements& elements) {
  std::string out;
  for (const auto& e : elements) {
    if (!out.empty()) out += " ";
    if (const auto* s = std::get_if<std::string>(&e)) {
      out += "'" + *s + "'";
    } else {
      out += "<" + std::get<std::shared_ptr<VXEmoji>>(e)->emojiCode() + ">";
    }
  }
  return out;
}

class VXTextParserTest : public ::testing::Test {
 protected:
  VXTextParserTest() {
    world.local = {makeVXEmoji("smile"), makeVXEmoji("b"), makeVXEmoji("微笑")};
    world.remote = {makeVXEmoji("far")};
  }

  std::string parseRemote(const std::string& text) {
    std::string out = "<not called>";
    int calls = 0;
    VXTextParser::parseVXText(
        text,
        [&](Result<VXTextElements> r) {
          ++calls;
          out = r.ok() ? describe(*r) : "error " + std::to_string(r.error().code());
        },
        source);
    EXPECT_EQ(calls, 1);
    return out;
  }

  std::string parseLocal(const std::string& text) {
    std::string out = "<not called>";
    VXTextParser::localParseVXText(text, [&](VXTextElements r) { out = describe(r); }, source);
    return out;
  }

  FakeEmojiWorld world;
  QLTextEmojiSource source = world.source();
};

TEST_F(VXTextParserTest, ResultsOfTheRemoteParse) {
  struct Case {
    std::string text, expected;
  };
  const std::vector<Case> cases = {
      {"hello", "'hello'"},
      {"", "''"},
      {"a[]b", "'a[]b'"},
      {"[smile]", "<smile>"},
      {"[smile][b]", "<smile> <b>"},
      {"hi [nobody] there", "'hi ' '[nobody]' ' there'"},
      {"[a[b]]", "'[a' <b> ']'"},
      {"[a[x]]", "'[a' '[x]' ']'"},
      {"x[far]y", "'x' <far> 'y'"},
      {"[smile]中间[微笑]", "<smile> '中间' <微笑>"},
      {"[smile", "'[smile'"},
      {"[nobody][smile]", "'[nobody]' <smile>"},
  };
  for (const auto& c : cases) EXPECT_EQ(parseRemote(c.text), c.expected) << c.text;
}

TEST_F(VXTextParserTest, NoCodeMeansNoLookup) {
  parseRemote("plain text [] and ]brackets[");
  parseLocal("plain");
  EXPECT_TRUE(world.remoteRequests.empty());
  EXPECT_TRUE(world.localRequests.empty());
}

TEST_F(VXTextParserTest, EachCodeIsAskedOnceAndStandsAtEveryPlace) {
  EXPECT_EQ(parseRemote("[smile]a[far][smile]b[far]"), "<smile> 'a' <far> <smile> 'b' <far>");
  ASSERT_EQ(world.remoteRequests.size(), 1u);
  EXPECT_EQ(world.remoteRequests[0], (std::vector<std::string>{"smile", "far"}));

  VXTextElements result;
  VXTextParser::parseVXText("[smile][smile]", [&](Result<VXTextElements> r) { result = *r; }, source);
  ASSERT_EQ(result.size(), 2u);
  EXPECT_EQ(std::get<std::shared_ptr<VXEmoji>>(result[0]), std::get<std::shared_ptr<VXEmoji>>(result[1]));
}

TEST_F(VXTextParserTest, AFailedLookupGivesOnlyTheError) {
  world.remoteError = qlErrorWithCode(-1001, "timed out");
  std::optional<Result<VXTextElements>> got;
  VXTextParser::parseVXText("[smile] known locally, [far] not", [&](Result<VXTextElements> r) { got = r; }, source);
  ASSERT_TRUE(got.has_value());
  ASSERT_FALSE(got->ok());
  EXPECT_EQ(got->error().code(), -1001);
  EXPECT_EQ(got->error().description(), "timed out");
}

TEST_F(VXTextParserTest, LocalParseUsesOnlyTheDevice) {
  EXPECT_EQ(parseLocal("[smile] and [far]"), "<smile> ' and ' '[far]'");
  EXPECT_TRUE(world.remoteRequests.empty());
  ASSERT_EQ(world.localRequests.size(), 1u);
}

TEST_F(VXTextParserTest, WithoutALookupTheRemoteParseFailsAndTheLocalOneKeepsText) {
  QLTextEmojiSource none;
  std::optional<Result<VXTextElements>> got;
  VXTextParser::parseVXText("[smile]", [&](Result<VXTextElements> r) { got = r; }, none);
  ASSERT_TRUE(got && !got->ok());
  EXPECT_EQ(got->error().code(), kQLTextLookupUnavailable);
  VXTextElements local;
  VXTextParser::localParseVXText("a[smile]", [&](VXTextElements r) { local = r; }, none);
  EXPECT_EQ(describe(local), "'a' '[smile]'");
}

TEST_F(VXTextParserTest, ALookupThatAnswersTwiceReachesTheCallerOnce) {
  QLTextEmojiSource twice;
  twice.fetchSmallEmojisByCodes = [](const std::vector<std::string>&, QLTextEmojiSource::RemoteCompletion done) {
    done(QLTextEmojiSource::Emojis{});
    done(qlErrorWithCode(1, "late"));
  };
  int calls = 0;
  VXTextParser::parseVXText("[x]", [&](Result<VXTextElements> r) {
    ++calls;
    EXPECT_TRUE(r.ok());
  }, twice);
  EXPECT_EQ(calls, 1);
}

TEST_F(VXTextParserTest, FindEmojiTakesTheFirstExactMatch) {
  auto first = makeVXEmoji("a", "1"), second = makeVXEmoji("a", "2"), upper = makeVXEmoji("A", "3");
  EXPECT_EQ(VXTextParser::findEmojiWithEmojiCode("a", {upper, first, second}), first);
  EXPECT_EQ(VXTextParser::findEmojiWithEmojiCode("a", {}), nullptr);
  EXPECT_EQ(VXTextParser::findEmojiWithEmojiCode("a ", {first}), nullptr);
  // generateTextImageArray agrees with findEmojiWithEmojiCode on duplicates.
  auto elements = VXTextParser::generateTextImageArrayFromVXText("[a]", {upper, first, second});
  EXPECT_EQ(std::get<std::shared_ptr<VXEmoji>>(elements.at(0)), first);
}

// Whatever the text and whatever is known, the list gives the text back,
// and no piece cut from a text with codes is empty.
TEST_F(VXTextParserTest, RoundTripOnRandomText) {
  const std::vector<std::string> alphabet = {"[", "]", "smile", "b", "x", "中文", "😀", " ", "[smile]", "\xC3"};
  std::mt19937 random(7);
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    size_t n = random() % 16;
    for (size_t i = 0; i < n; ++i) text += alphabet[random() % alphabet.size()];
    auto elements = VXTextParser::generateTextImageArrayFromVXText(text, world.local);
    ASSERT_EQ(VXTextParser::textFromElements(elements), text);
    if (VXTextParser::findEmojicodesResultFromVXText(text).empty()) {
      ASSERT_EQ(elements.size(), 1u);
    } else {
      for (const auto& e : elements) {
        if (const auto* s = std::get_if<std::string>(&e)) {
          ASSERT_FALSE(s->empty()) << text;
        }
      }
    }
  }
}

}  // namespace
}  // namespace vexa
