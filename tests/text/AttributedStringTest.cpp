#include <gtest/gtest.h>

#include <random>

#include "vexa/platform/AttributedString.h"

namespace vexa {
namespace {

const std::string kThumb = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD";   // thumbs up, skin tone
const std::string kFamily = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
const std::string kFlag = "\xF0\x9F\x87\xA8\xF0\x9F\x87\xB3";     // CN
const std::string kKeycap = "1\xEF\xB8\x8F\xE2\x83\xA3";
const std::string kCombined = "e\xCC\x81";                        // e + combining acute

TEST(AttributedStringTest, CountsVisibleCharacters) {
  struct Case {
    std::string text;
    size_t length;
  };
  const std::vector<Case> cases = {
      {"", 0},
      {"abc", 3},
      {"你好世界", 4},
      {kThumb, 1},
      {kFamily, 1},
      {kFlag + kFlag, 2},
      {kKeycap, 1},
      {kCombined, 1},
      {"\r\n", 1},
      {"中" + kThumb + "a" + kFamily, 4},
  };
  for (const auto& c : cases) EXPECT_EQ(AttributedString(c.text).length(), c.length) << c.text;
}

// Edits find character starts again only from the one before the edit; the
// result must equal segmenting the whole text afresh.
TEST(AttributedStringTest, EditsSegmentLikeTheWholeText) {
  const std::string ri = "\xF0\x9F\x87\xA8";  // one regional indicator
  const std::vector<std::string> pieces = {"a", "\xCC\x81", ri, ri, ri, "\xE2\x80\x8D", kThumb,
                                           "\xE2\x80\x8D", "\xF0\x9F\x91\xA9", "\r", "\n", "中",
                                           "\xEF\xB8\x8F", "\xE2\x83\xA3", ri, "b"};
  auto starts = [](const AttributedString& s) {
    std::vector<size_t> out;
    for (size_t i = 0; i <= s.length(); ++i) out.push_back(s.byteOffset(i));
    return out;
  };
  AttributedString appended;
  std::string whole;
  for (const auto& piece : pieces) {
    appended.append(AttributedString(piece));
    whole += piece;
    EXPECT_EQ(starts(appended), starts(AttributedString(whole))) << "after appending " << whole;
  }
  // Deleting in the middle lets the neighbours join as they would have.
  for (size_t at = 0; at < appended.length(); ++at) {
    AttributedString edited = appended;
    edited.deleteCharacters({at, 1});
    EXPECT_EQ(starts(edited), starts(AttributedString(edited.string()))) << "deleting " << at;
  }
}

TEST(AttributedStringTest, InvalidBytesBecomeReplacementCharacters) {
  AttributedString s(std::string("a\xFF" "b"));
  EXPECT_EQ(s.string(), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(s.length(), 3u);
}

TEST(AttributedStringTest, ReplacingWorksInWholeCharacters) {
  AttributedString s("你" + kFamily + "好");
  s.replaceCharacters({1, 1}, "们");
  EXPECT_EQ(s.string(), "你们好");
  s.replaceCharacters({3, 5}, "!");  // past the end: clamped to an insertion at the end
  EXPECT_EQ(s.string(), "你们好!");
  s.deleteCharacters({0, 2});
  EXPECT_EQ(s.string(), "好!");
  EXPECT_EQ(s.substring({0, 1}), "好");
  EXPECT_EQ(s.substring({7, 2}), "");
}

TEST(AttributedStringTest, AnAttachmentAlwaysStandsAlone) {
  auto attachment = std::make_shared<TextAttachment>();
  AttributedString s("a");
  s.append(AttributedString::withAttachment(attachment));
  s.append(AttributedString(std::string("\xCC\x81")));  // a combining mark after the attachment
  EXPECT_EQ(s.length(), 3u);
  EXPECT_EQ(s.attributesAt(1).attachment, attachment);
  EXPECT_EQ(s.attributesAt(2).attachment, nullptr);
  std::vector<size_t> seen;
  s.forEachAttachment({0, s.length()}, [&](size_t i, const std::shared_ptr<TextAttachment>& a) {
    EXPECT_EQ(a, attachment);
    seen.push_back(i);
  });
  EXPECT_EQ(seen, std::vector<size_t>{1});
}

TEST(AttributedStringTest, TwoAttachmentsOfOneObjectAreTwoCharacters) {
  auto attachment = std::make_shared<TextAttachment>();
  auto s = AttributedString::withAttachment(attachment);
  s.append(AttributedString::withAttachment(attachment));
  size_t count = 0;
  s.forEachAttachment({0, 2}, [&](size_t, const std::shared_ptr<TextAttachment>&) { ++count; });
  EXPECT_EQ(count, 2u);
}

TEST(AttributedStringTest, AttributesFollowTheirCharacters) {
  Font big = Font::systemFont(20);
  Color red = Color::rgb(1, 0, 0);
  AttributedString s("中文 and " + kThumb);
  s.setFont(big, {0, 2});
  s.setForegroundColor(red, {1, 3});
  auto runs = s.runs();
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].range, (CharacterRange{0, 1}));
  EXPECT_EQ(runs[1].range, (CharacterRange{1, 1}));
  EXPECT_EQ(runs[1].attributes.font, big);
  EXPECT_EQ(runs[1].attributes.foregroundColor, red);
  EXPECT_EQ(runs[2].range, (CharacterRange{2, 2}));
  EXPECT_EQ(runs[3].range, (CharacterRange{4, 4}));

  // Plain text inserted in the middle takes the style of what it replaces or follows.
  s.replaceCharacters({1, 0}, "x");
  EXPECT_EQ(s.attributesAt(1).font, big);
  EXPECT_FALSE(s.attributesAt(1).foregroundColor.has_value());

  auto part = s.attributedSubstring({1, 3});
  EXPECT_EQ(part.string(), "x文 ");
  EXPECT_EQ(part.attributesAt(1).foregroundColor, red);
}

TEST(AttributedStringTest, JoinedCharactersTakeTheStyleOfTheirFirstPart) {
  Font big = Font::systemFont(30);
  AttributedString s(std::string("\xF0\x9F\x91\x8D"), TextAttributes{big, std::nullopt, nullptr});  // thumbs up
  s.append(AttributedString(std::string("\xF0\x9F\x8F\xBD")));                                  // skin tone joins it
  EXPECT_EQ(s.length(), 1u);
  ASSERT_EQ(s.runs().size(), 1u);
  EXPECT_EQ(s.attributesAt(0).font, big);
  EXPECT_EQ(s, AttributedString(kThumb, TextAttributes{big, std::nullopt, nullptr}));
}

// Random edits against a model that gives every byte its attributes: a
// character carries those of its first byte, and once joined its other
// bytes take them too (so a later split cannot bring back what they had).
TEST(AttributedStringTest, RandomEditsKeepEachCharactersFirstByteStyle) {
  const std::vector<std::string> pieces = {"a", "\xCC\x81", "\xF0\x9F\x87\xA8", "\xE2\x80\x8D",
                                           "\xF0\x9F\x91\x8D", "\xF0\x9F\x8F\xBD", "中", "\r",
                                           "\n", std::string(AttributedString::kAttachmentCharacter)};
  std::vector<TextAttributes> styles(4);
  styles[1].font = Font::systemFont(20);
  styles[2].foregroundColor = Color::rgb(1, 0, 0);
  styles[3].attachment = std::make_shared<TextAttachment>();
  std::mt19937 random(19);
  for (int round = 0; round < 200; ++round) {
    AttributedString text;
    std::string bytes;
    std::vector<size_t> byteStyle;
    for (int edit = 0; edit < 12; ++edit) {
      AttributedString piece;
      std::string pieceBytes;
      std::vector<size_t> pieceStyle;
      for (int n = random() % 4; n >= 0; --n) {
        const std::string& p = pieces[random() % pieces.size()];
        size_t style = random() % 3;
        if (p == AttributedString::kAttachmentCharacter) style = 3;
        piece.append(style == 3 ? AttributedString::withAttachment(styles[3].attachment)
                                : AttributedString(p, styles[style]));
        pieceBytes += p;
        pieceStyle.insert(pieceStyle.end(), p.size(), style);
      }
      const size_t at = text.length() ? random() % (text.length() + 1) : 0;
      const size_t count = random() % 3 == 0 ? random() % 3 : 0;
      const size_t b0 = text.byteOffset(at), b1 = text.byteOffset(at + count);
      text.replaceCharacters({at, count}, piece);
      bytes.replace(b0, b1 - b0, pieceBytes);
      byteStyle.erase(byteStyle.begin() + b0, byteStyle.begin() + b1);
      byteStyle.insert(byteStyle.begin() + b0, pieceStyle.begin(), pieceStyle.end());
      ASSERT_EQ(text.string(), bytes);
      ASSERT_EQ(text.length(), AttributedString(bytes).length());
      size_t runs = 0;
      for (size_t i = 0; i < text.length(); ++i) {
        const size_t from = text.byteOffset(i), to = text.byteOffset(i + 1);
        std::fill(byteStyle.begin() + from, byteStyle.begin() + to, byteStyle[from]);
        const TextAttributes& want = styles[byteStyle[text.byteOffset(i)]];
        ASSERT_EQ(text.attributesAt(i), want) << "round " << round << " character " << i;
        if (i == 0 || !(text.attributesAt(i - 1) == want)) ++runs;
      }
      ASSERT_EQ(text.runs().size(), runs) << "neighbours of one style are one run";
    }
  }
}

TEST(AttributedStringTest, CharacterIndexOfAByte) {
  AttributedString s("a中" + kFlag);
  EXPECT_EQ(s.characterIndexAtByte(0), 0u);
  EXPECT_EQ(s.characterIndexAtByte(2), 1u);
  EXPECT_EQ(s.characterIndexAtByte(6), 2u);
  EXPECT_EQ(s.characterIndexAtByte(100), 3u);
  EXPECT_EQ(s.byteOffset(2), 4u);
  EXPECT_EQ(s.byteOffset(99), s.string().size());
}

}  // namespace
}  // namespace vexa
