// The text code over the SDK's own package store (the standard source).
#include <gtest/gtest.h>

#include "vexa/platform/Base64.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/store/QLPackageCache.h"
#include "support/MainQueueTesting.h"
#include "support/TempDirectory.h"
#include "vexa/text/QLTextImageHelper.h"
#include "vexa/text/VXTextParser.h"

namespace vexa {
namespace {

// A 1 x 1 transparent PNG.
const char* const kPng =
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNkYPhfDwAChwGA60e6kgAAAABJRU5ErkJggg==";

TEST(StandardSourceTest, ParsesAndConvertsOverTheStoredPackages) {
  test::ScopedDataRoot root;  // before the store is first used, so it lives here
  auto& cache = QLPackageCache::defaultCache();
  auto packagesDir = cache.rootPathForPackages();

  auto package = std::make_shared<QLPackage>();
  package->updateWithKeyValues(Value::dict({
      {"guid", "p1"},
      {"is_emoji", true},
      {"isDefault", true},
      {"packageType", "2"},
      {"emoticions", Value::array({Value::dict({{"guid", "e1"}, {"emo_code", "微笑"}, {"emo_text", "smile"},
                                                {"main_image", "http://files/e1.png"}, {"package_id", "p1"}}),
                                   Value::dict({{"guid", "e2"}, {"emo_code", "cry"}, {"package_id", "p1"}})})},
  }));
  ASSERT_TRUE(PropertyList::writeFile(packagesDir / "p1", package->keyValues()).ok());
  ASSERT_TRUE(PropertyList::writeFile(packagesDir / "defaultpackages.plist", Value::array({"p1"})).ok());
  auto temp = Value::array({Value::dict({{"guid", "t1"}, {"emo_code", "temp"}, {"package_id", "elsewhere"}})});
  ASSERT_TRUE(PropertyList::writeFile(packagesDir / "smalltempemojis.plist", temp).ok());
  bool stored = false;
  auto png = Base64::decode(kPng);
  cache.storeImage(nullptr, std::make_shared<const Bytes>(*png), "http://files/e1.png", [&] { stored = true; });
  ASSERT_TRUE(test::runUntil([&] { return stored; }));

  VXTextElements elements;
  VXTextParser::localParseVXText("a[微笑]b[temp][cry][nobody]", [&](VXTextElements e) { elements = e; });
  ASSERT_EQ(elements.size(), 6u);
  auto smile = std::get<std::shared_ptr<VXEmoji>>(elements[1]);
  EXPECT_EQ(smile->emojiId(), "e1");
  EXPECT_EQ(smile->emojiName(), "smile");
  EXPECT_NE(smile->emojiImage(), nullptr);
  ASSERT_NE(smile->emojiData(), nullptr);
  EXPECT_EQ(*smile->emojiData(), *png);
  EXPECT_EQ(std::get<std::shared_ptr<VXEmoji>>(elements[3])->emojiId(), "t1");
  EXPECT_EQ(std::get<std::shared_ptr<VXEmoji>>(elements[4])->emojiImage(), nullptr);
  EXPECT_EQ(std::get<std::string>(elements[5]), "[nobody]");

  EXPECT_EQ(QLTextImageHelper::wrappedEmojiCodeBelongToSuffixOfText("hi[cry]"), "[cry]");
  EXPECT_EQ(QLTextImageHelper::vxEmojiFromCode(" 微笑 ")->emojiId(), "e1");
  EXPECT_EQ(QLTextImageHelper::vxEmojiFromCode("temp")->emojiId(), "t1");
}

}  // namespace
}  // namespace vexa
