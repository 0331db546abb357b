// Queries over the package store: index paths, guids, codes, keywords,
// progress and the public record of an emoji.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "support/ZipTestSupport.h"
#include "vexa/store/QLCaseFolding.h"
#include "vexa/store/QLPackageHelper.h"

namespace vexa {
namespace {

using test::makePackage;
using test::placeImages;

class QLPackageHelperTest : public ::testing::Test {
 protected:
  // Stores a package after placing what the store needs of its images.
  std::shared_ptr<QLPackage> stored(const std::string& guid, bool isDefault, bool isEmoji,
                                    int emojis = 2) {
    auto package = makePackage(guid, isDefault, isEmoji, emojis);
    placeImages(*store_, *package, true);
    EXPECT_TRUE(store_->storePackage(package).ok()) << guid;
    EXPECT_TRUE(store_->isDownloadedForPackage(*package) || isDefault);
    return package;
  }
  // Gives the emoji at (package, index) another code and text.
  static void rename(const QLPackage& package, size_t index, std::string code, std::string text) {
    package.emojis()[index]->setEmo_code(std::move(code));
    package.emojis()[index]->setEmo_text(std::move(text));
  }

  test::StoreUnderTest store_;
};

TEST_F(QLPackageHelperTest, EmptyStoreAnswersNothing) {
  EXPECT_EQ(QLPackageHelper::countOfPackages(*store_), 0u);
  EXPECT_EQ(QLPackageHelper::packageAtIndex(0, *store_), nullptr);
  EXPECT_EQ(QLPackageHelper::countOfEmojisAtIndex(0, *store_), 0u);
  EXPECT_EQ(QLPackageHelper::emojiAtIndexPath({0, 0}, *store_), nullptr);
  EXPECT_EQ(QLPackageHelper::codeOfEmojiAtIndexPath({0, 0}, *store_), "");
  EXPECT_EQ(QLPackageHelper::chatIconOfPackageAtIndex(0, *store_), nullptr);
  EXPECT_EQ(QLPackageHelper::emojiWithCode("x", *store_), nullptr);
}

TEST_F(QLPackageHelperTest, SectionsAreDefaultPackagesThenDownloadedNewestFirst) {
  stored("def", true, true, 3);
  stored("a", false, false);
  stored("b", false, true, 1);
  ASSERT_EQ(QLPackageHelper::countOfPackages(*store_), 3u);
  EXPECT_EQ(QLPackageHelper::packageAtIndex(0, *store_)->guid(), "def");
  EXPECT_EQ(QLPackageHelper::packageAtIndex(1, *store_)->guid(), "b");
  EXPECT_EQ(QLPackageHelper::packageAtIndex(2, *store_)->guid(), "a");
  EXPECT_EQ(QLPackageHelper::packageAtIndex(3, *store_), nullptr);
  EXPECT_EQ(QLPackageHelper::packageAtIndex(-1, *store_), nullptr);
  EXPECT_EQ(QLPackageHelper::countOfEmojisAtIndex(0, *store_), 3u);
  EXPECT_EQ(QLPackageHelper::countOfEmojisAtIndex(1, *store_), 1u);

  EXPECT_EQ(QLPackageHelper::emojiAtIndexPath({2, 1}, *store_)->guid(), "a-1");
  EXPECT_EQ(QLPackageHelper::codeOfEmojiAtIndexPath({0, 2}, *store_), "def_2");
  EXPECT_EQ(QLPackageHelper::emojiAtIndexPath({1, 1}, *store_), nullptr) << "past the package's emojis";
  EXPECT_EQ(QLPackageHelper::emojiAtIndexPath({1, -1}, *store_), nullptr);

  EXPECT_NE(QLPackageHelper::chatIconOfPackageAtIndex(2, *store_), nullptr);
  EXPECT_NE(QLPackageHelper::thumbOfEmojiAtIndexPath({2, 0}, *store_), nullptr);
  EXPECT_NE(QLPackageHelper::mainImageOfEmojiAtIndexPath({2, 0}, *store_), nullptr);
  auto data = QLPackageHelper::mainImageDataOfEmojiAtIndexPath({2, 0}, *store_);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::string(data->begin(), data->end()), test::tinyGif());
  EXPECT_EQ(QLPackageHelper::bannerOfPackageAtIndex(2, *store_), nullptr) << "no banner was stored";
}

TEST_F(QLPackageHelperTest, GuidLookups) {
  auto def = stored("def", true, true);
  auto a = stored("a", false, false);
  EXPECT_EQ(QLPackageHelper::packageWithGuid("def", *store_), nullptr) << "default packages are not searched";
  EXPECT_EQ(QLPackageHelper::packageWithGuid("a", *store_), a);
  EXPECT_EQ(QLPackageHelper::packageWithGuid("A", *store_), nullptr) << "exact equality";
  EXPECT_EQ(QLPackageHelper::packageWithEmojiGuid("def-1", *store_), def);
  EXPECT_EQ(QLPackageHelper::packageWithEmojiGuid("a-0", *store_), a);
  EXPECT_EQ(QLPackageHelper::packageWithEmojiGuid("nobody", *store_), nullptr);
}

TEST_F(QLPackageHelperTest, FirstMatchByCodeFollowsPackageThenEmojiOrder) {
  auto def = stored("def", true, true);
  auto older = stored("older", false, true);
  auto newer = stored("newer", false, false, 3);
  rename(*def, 1, "same", "d");
  rename(*older, 0, "same", "o");
  rename(*older, 1, "shared", "o");
  rename(*newer, 0, "shared", "n0");
  rename(*newer, 2, "shared", "n2");

  EXPECT_EQ(QLPackageHelper::emojiWithCode("same", *store_)->guid(), "def-1") << "default packages first";
  EXPECT_EQ(QLPackageHelper::emojiWithCode("shared", *store_)->guid(), "newer-0") << "newest download first";
  EXPECT_EQ(QLPackageHelper::smallEmojiWithCode("shared", *store_)->guid(), "older-1");
  EXPECT_EQ(QLPackageHelper::bigEmojiWithCode("shared", *store_)->guid(), "newer-0");
  EXPECT_EQ(QLPackageHelper::bigEmojiWithCode("same", *store_), nullptr);
  EXPECT_EQ(QLPackageHelper::emojiWithCode("Same", *store_), nullptr) << "codes compare exactly";
  EXPECT_EQ(QLPackageHelper::emojiWithCode("same", QLPackageHelper::Packages{older, def})->guid(), "older-0");
}

TEST_F(QLPackageHelperTest, KeywordSearchTrimsFoldsCaseAndMatchesWholeTexts) {
  auto def = stored("def", true, true);
  auto a = stored("a", false, true, 4);
  auto b = stored("b", false, false, 2);
  rename(*def, 0, "d0", "Smile");
  rename(*a, 0, "a0", "Smile");
  rename(*a, 1, "a1", "Straße");
  rename(*a, 2, "a2", "ΣΊΣΥΦΟΣ");
  rename(*a, 3, "a3", "微笑");
  rename(*b, 0, "b0", "sMILE");
  rename(*b, 1, "b1", "Smiles");

  struct Case {
    const char* keyword;
    std::vector<std::string> guids;
  };
  const std::vector<Case> cases = {
      {"smile", {"b-0", "a-0"}},  // newest download first; default packages not searched
      {"  SMILE\n", {"b-0", "a-0"}},
      {"\u3000smile\t", {"b-0", "a-0"}},  // ideographic space
      {"smil", {}},
      {"STRASSE", {"a-1"}},
      {"σίσυφος", {"a-2"}},
      {"微笑", {"a-3"}},
      {"微", {}},
  };
  for (const auto& c : cases) {
    auto found = QLPackageHelper::emojisWithKeyword(c.keyword, *store_);
    ASSERT_TRUE(found.has_value()) << c.keyword;
    std::vector<std::string> guids;
    for (const auto& e : *found) guids.push_back(e->guid());
    EXPECT_EQ(guids, c.guids) << "keyword \"" << c.keyword << "\"";
  }
  EXPECT_FALSE(QLPackageHelper::emojisWithKeyword(" \n\t\u3000", *store_).has_value());
  EXPECT_FALSE(QLPackageHelper::emojisWithKeyword("", *store_).has_value());
}

TEST(QLCaseFoldingTest, FoldsBeyondAscii) {
  struct Case {
    const char* a;
    const char* b;
    bool equal;
  };
  const std::vector<Case> cases = {
      {"Hello", "hELLO", true},        {"Hello", "Hell", false},
      {"ÉCOLE", "école", true},        {"e\u0301cole", "ÉCOLE", true},  // decomposed é
      {"Straße", "STRASSE", true},     {"ǅ", "ǆ", true},
      {"\u212A", "k", true},           // Kelvin sign
      {"İ", "i", false},               // no Turkish special case
      {"\xff\xfe", "\xff\xfe", true},  {"\xff\xfe", "\xff\xff", false},  // not UTF-8: bytes
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QLCaseFolding::equalIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(QLCaseFolding::equalIgnoringCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
  }
  // Texts too long to fold on the stack take the other way, with the same answers.
  std::string upper, lower;
  for (int i = 0; i < 40; ++i) {
    upper += "ÄΣ";
    lower += "äσ";
  }
  EXPECT_TRUE(QLCaseFolding::equalIgnoringCase(upper, lower));
  EXPECT_FALSE(QLCaseFolding::equalIgnoringCase(upper + "x", lower));
  EXPECT_EQ(QLCaseFolding::key(upper).folded(), QLCaseFolding::fold(lower));
}

TEST_F(QLPackageHelperTest, ProgressAndThumbnailsOfDownloadedPackages) {
  auto a = stored("a", false, true, 3);
  a->setProgress(0.5);
  EXPECT_EQ(QLPackageHelper::progressForPackage(*a, *store_), 1.0);
  auto other = makePackage("other", false, true);
  other->setProgress(-1);
  EXPECT_EQ(QLPackageHelper::progressForPackage(*other, *store_), 0.0);
  other->setProgress(0.25);
  EXPECT_EQ(QLPackageHelper::progressForPackage(*other, *store_), 0.25);

  EXPECT_EQ(QLPackageHelper::mainImagesForPackage(*a, *store_).size(), 3u);
  EXPECT_TRUE(QLPackageHelper::mainImagesForPackage(*other, *store_).empty());
  // A thumbnail deleted behind the store's back is left out.
  store_->imageCache()->removeImageForKey(a->emojis()[1]->thumbail(), true);
  (void)store_->imageCache()->getSize();  // waits for the removal on the cache's queue
  EXPECT_EQ(QLPackageHelper::mainImagesForPackage(*a, *store_).size(), 2u);
}

TEST_F(QLPackageHelperTest, PublicRecordCarriesFieldsAndTheStoredImage) {
  auto a = stored("a", false, true, 1);
  const QLEmoji& emoji = *a->emojis()[0];
  auto vx = QLPackageHelper::vxEmojiFromQLEmoji(emoji, *store_);
  EXPECT_EQ(vx->emojiId(), "a-0");
  EXPECT_EQ(vx->emojiName(), "text a-0");
  EXPECT_EQ(vx->emojiCode(), "a_0");
  EXPECT_EQ(vx->packageId(), "a");
  ASSERT_NE(vx->emojiImage(), nullptr);
  ASSERT_NE(vx->emojiData(), nullptr);
  EXPECT_EQ(std::string(vx->emojiData()->begin(), vx->emojiData()->end()), test::tinyGif());

  // An emoji whose image lies only in the shared image cache converts too.
  QLEmoji remote;
  remote.setGuid("r");
  remote.setEmo_code("r");
  remote.setMain_image("http://img.test/remote.gif");
  test::writeText(store_.shared()->defaultCachePathForKey(remote.main_image()), test::tinyGif());
  auto fromShared = QLPackageHelper::vxEmojiFromQLEmoji(remote, *store_);
  EXPECT_NE(fromShared->emojiImage(), nullptr);
  EXPECT_NE(fromShared->emojiData(), nullptr);

  QLEmoji bare;
  bare.setGuid("bare");
  auto none = QLPackageHelper::vxEmojiFromQLEmoji(bare, *store_);
  EXPECT_EQ(none->emojiImage(), nullptr);
  EXPECT_EQ(none->emojiData(), nullptr);
}

}  // namespace
}  // namespace vexa
