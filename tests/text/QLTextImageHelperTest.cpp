#include <gtest/gtest.h>

#include "FakeEmojiSource.h"
#include "vexa/text/QLTextAttachment.h"
#include "vexa/text/QLTextImageHelper.h"
#include "vexa/text/TextViewVEXA.h"

namespace vexa {
namespace {

using test::FakeEmojiWorld;
using test::makePackage;
using test::makeQLEmoji;
using test::makeVXEmoji;

AttributedString attachmentOf(const std::string& code) {
  return AttributedString::withAttachment(std::make_shared<QLTextAttachment>(makeVXEmoji(code)));
}

TEST(QLTextImageHelperTest, WrappedCode) {
  EXPECT_EQ(QLTextImageHelper::wrappedEmojiCode("abc"), "[abc]");
  EXPECT_EQ(QLTextImageHelper::wrappedEmojiCode(""), "[]");
}

TEST(QLTextImageHelperTest, PlainTextFromRichText) {
  AttributedString rich("hi");
  rich.append(attachmentOf("smile"));
  rich.append(AttributedString("!"));
  EXPECT_EQ(QLTextImageHelper::pureTextFromAttributeText(rich), "hi[smile]!");

  AttributedString only = attachmentOf("a");
  only.append(attachmentOf("b"));
  only.append(attachmentOf("a"));
  EXPECT_EQ(QLTextImageHelper::pureTextFromAttributeText(only), "[a][b][a]");
  EXPECT_EQ(QLTextImageHelper::pureTextFromAttributeText(AttributedString()), "");

  // One attachment object inserted twice in a row is still two emojis.
  auto same = AttributedString::withAttachment(std::make_shared<QLTextAttachment>(makeVXEmoji("a")));
  same.append(same);
  EXPECT_EQ(QLTextImageHelper::pureTextFromAttributeText(same), "[a][a]");

  // Other attachments keep their character.
  AttributedString other("x");
  other.append(AttributedString::withAttachment(std::make_shared<TextAttachment>()));
  other.append(attachmentOf("中文"));
  EXPECT_EQ(QLTextImageHelper::pureTextFromAttributeText(other), "x\xEF\xBF\xBC[中文]");
}

TEST(QLTextImageHelperTest, RichTextFromPlainTextRoundTrips) {
  FakeEmojiWorld world;
  world.local = {makeVXEmoji("smile"), makeVXEmoji("cry")};
  auto source = world.source();
  for (std::string text : {"hi[smile]!", "[smile][cry]", "[unknown] 你好 [smile]", "", "[a[smile]]"}) {
    std::optional<AttributedString> rich;
    QLTextImageHelper::pureAttributeTextFromText(text, [&](AttributedString r) { rich = r; }, source);
    ASSERT_TRUE(rich.has_value()) << "the local parse answers at once";
    EXPECT_EQ(QLTextImageHelper::pureTextFromAttributeText(*rich), text);
  }
  std::optional<AttributedString> rich;
  QLTextImageHelper::pureAttributeTextFromText("a[smile]b", [&](AttributedString r) { rich = r; }, source);
  ASSERT_EQ(rich->length(), 3u);
  auto* attachment = dynamic_cast<QLTextAttachment*>(rich->attributesAt(1).attachment.get());
  ASSERT_NE(attachment, nullptr);
  EXPECT_EQ(attachment->emoji(), world.local[0]);
}

TEST(QLTextImageHelperTest, CodeAtTheEndOfAText) {
  FakeEmojiWorld world;
  auto source = world.source();
  EXPECT_EQ(QLTextImageHelper::wrappedEmojiCodeBelongToSuffixOfText("x[smile]", source), std::nullopt)
      << "no default packages stored";
  world.defaults = {
      makePackage("big", 0, {makeQLEmoji("sticker", "s1")}),
      makePackage("small", 2, {makeQLEmoji("", "e0"), makeQLEmoji("x[b", "e1"), makeQLEmoji("b", "e2"),
                               makeQLEmoji("smile", "e3")}),
  };
  EXPECT_EQ(QLTextImageHelper::wrappedEmojiCodeBelongToSuffixOfText("x[sticker]", source), std::nullopt);
  EXPECT_EQ(QLTextImageHelper::wrappedEmojiCodeBelongToSuffixOfText("a[smile]", source), "[smile]");
  EXPECT_EQ(QLTextImageHelper::wrappedEmojiCodeBelongToSuffixOfText("[smile] ", source), std::nullopt);
  // The earlier emoji wins even when its code is the shorter suffix.
  EXPECT_EQ(QLTextImageHelper::wrappedEmojiCodeBelongToSuffixOfText("q[x[b]", source), "[x[b]");
  EXPECT_EQ(QLTextImageHelper::wrappedEmojiCodeBelongToSuffixOfText("q[b]", source), "[b]");
  // An emoji without a code must not make "[]" count as one.
  EXPECT_EQ(QLTextImageHelper::wrappedEmojiCodeBelongToSuffixOfText("text[]", source), std::nullopt);
}

TEST(QLTextImageHelperTest, EmojiOfACode) {
  FakeEmojiWorld world;
  world.defaults = {makePackage("big", 0, {makeQLEmoji("smile", "big-smile")})};
  world.downloaded = {makePackage("small", 2, {makeQLEmoji("cry", "c1"), makeQLEmoji("smile", "s1")})};
  world.temporary = {makeQLEmoji(" temp ", "t1"), makeQLEmoji("smile", "t-smile")};
  auto source = world.source();

  EXPECT_EQ(QLTextImageHelper::vxEmojiFromCode("  smile\n", source)->emojiId(), "s1");
  EXPECT_EQ(QLTextImageHelper::vxEmojiFromCode("cry", source)->emojiName(), "text of cry");
  EXPECT_EQ(QLTextImageHelper::vxEmojiFromCode(" temp ", source)->emojiId(), "t1")
      << "temporary emojis are looked up with the untrimmed code";
  auto none = QLTextImageHelper::vxEmojiFromCode("nobody", source);
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->emojiId(), "");
  EXPECT_EQ(none->emojiCode(), "");
  EXPECT_EQ(none->emojiImage(), nullptr);
}

TEST(QLTextAttachmentTest, SizeIsAQuarterOfThePixels) {
  auto emoji = makeVXEmoji("smile");
  emoji->setEmojiImage(Image::still(std::make_shared<Bitmap>(120, 120), 2));
  QLTextAttachment attachment;
  attachment.setEmoji(emoji);
  EXPECT_EQ(attachment.attachmentBounds(), Rect(0, 0, 30, 30));
  EXPECT_EQ(attachment.image(), emoji->emojiImage());

  auto wide = makeVXEmoji("wide");
  wide->setEmojiImage(Image::still(std::make_shared<Bitmap>(96, 48), 3));
  attachment.setEmoji(wide);
  EXPECT_EQ(attachment.attachmentBounds(), Rect(0, 0, 24, 12));

  attachment.setEmoji(makeVXEmoji("no image"));
  EXPECT_EQ(attachment.image(), nullptr);
  EXPECT_EQ(attachment.attachmentBounds(), Rect());
}

TEST(TextViewVEXATest, TextOfAViewAndBack) {
  FakeEmojiWorld world;
  world.local = {makeVXEmoji("smile")};
  auto source = world.source();
  TextView view;
  Font font = Font::systemFont(16);
  Color colour = Color::rgb(0.1, 0.2, 0.3);
  view.setFont(font);
  view.setTextColor(colour);
  TextViewVEXA::setVxText(view, "你好[smile]![nobody]", source);
  EXPECT_EQ(view.attributedText().length(), 12u);
  EXPECT_EQ(TextViewVEXA::vxText(view), "你好[smile]![nobody]");
  EXPECT_EQ(TextViewVEXA::vxTextWithRange(view, {1, 3}), "好[smile]!");
  const auto& attributes = view.attributedText().attributesAt(2);
  EXPECT_NE(attributes.attachment, nullptr);
  EXPECT_EQ(attributes.font, font);
  EXPECT_EQ(attributes.foregroundColor, colour);
}

TEST(TextViewVEXATest, ALateAnswerForAViewThatIsGoneIsDropped) {
  QLTextEmojiSource slow;
  QLTextEmojiSource::LocalCompletion pending;
  slow.fetchLocalSmallEmojisByCodes = [&](const std::vector<std::string>&, QLTextEmojiSource::LocalCompletion done) {
    pending = std::move(done);
  };
  {
    TextView view;
    TextViewVEXA::setVxText(view, "[smile]", slow);
    EXPECT_EQ(view.text(), "");
  }
  ASSERT_TRUE(pending);
  pending({makeVXEmoji("smile")});  // must not touch the destroyed view (ASan would tell)
}

}  // namespace
}  // namespace vexa
