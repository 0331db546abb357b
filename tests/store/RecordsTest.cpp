#include <gtest/gtest.h>

#include "vexa/platform/JsonCodec.h"
#include "vexa/store/QLCategory.h"
#include "vexa/store/QLEmoji.h"
#include "vexa/store/QLPackage.h"
#include "vexa/store/QLTag.h"
#include "vexa/store/RecordCoding.h"

namespace vexa {
namespace {

Value json(const char* text) {
  auto v = JsonCodec::parse(text);
  EXPECT_TRUE(v.ok()) << (v.ok() ? "" : v.error().description());
  return v.ok() ? *v : Value();
}

std::shared_ptr<QLPackage> packageFrom(const char* text) {
  auto p = std::make_shared<QLPackage>();
  p->updateWithKeyValues(json(text));
  return p;
}

TEST(RecordCodingTest, BooleansFromStrings) {
  struct Case {
    const char* text;
    bool expected;
  } cases[] = {
      {"YES", true},  {"yes", true},  {"true", true},   {"T", true},     {"1", true},
      {"9", true},    {" \t y", true}, {"+1", true},    {"-1", true},    {"0001", true},
      {"-007", true}, {"0", false},   {"000", false},   {"no", false},   {"false", false},
      {"", false},    {"  ", false},  {"-", false},     {"x1", false},   {"0x1", false},
      {"+-1", false}, {"00y", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RecordCoding::boolFromString(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(RecordCodingTest, IntegersFromStrings) {
  struct Case {
    const char* text;
    int64_t expected;
  } cases[] = {
      {"2", 2},
      {"  42abc", 42},
      {"-17", -17},
      {"+8", 8},
      {"abc", 0},
      {"", 0},
      {"3.9", 3},
      {"9223372036854775807", INT64_MAX},
      {"9223372036854775808", INT64_MAX},
      {"99999999999999999999999", INT64_MAX},
      {"-9223372036854775808", INT64_MIN},
      {"-9223372036854775809", INT64_MIN},
      {"- 5", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RecordCoding::integerFromString(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(QLPackageTest, StoredDictionaryReadsBackFieldByField) {
  auto p = packageFrom(R"j({
    "promotion": 1, "is_emoji": "true", "recommend_pic": "http://h/r.png", "guid": "p1",
    "name": "微笑包", "banner": "http://h/b.png", "chat_icon": "http://h/c.png",
    "cover": "http://h/cv.png", "intro": "介绍", "copyright": "(c)", "author": "A",
    "createtime": "2016-01-02 03:04:05", "updatetime": "2016-02-03",
    "isDefault": true, "packageType": 2, "packageText": "txt",
    "tags": [{"guid": "t1", "label": "cute"}],
    "emoticions": [{"guid": "e1", "emo_code": "微笑", "main_image": "http://h/e1.gif",
                    "thumbail": "http://h/e1.png", "emojitype": "3", "package_id": "p1",
                    "emo_text": "smile", "tags": [{"guid": "t2"}]}]
  })j");
  p->setProgress(0.5);
  auto back = std::make_shared<QLPackage>();
  back->updateWithKeyValues(p->keyValues());

  EXPECT_TRUE(back->promotion());
  EXPECT_TRUE(back->isEmoji());
  EXPECT_TRUE(back->isDefault());
  EXPECT_EQ(back->recommend_pic(), "http://h/r.png");
  EXPECT_EQ(back->guid(), "p1");
  EXPECT_EQ(back->name(), "微笑包");
  EXPECT_EQ(back->banner(), "http://h/b.png");
  EXPECT_EQ(back->chat_icon(), "http://h/c.png");
  EXPECT_EQ(back->cover(), "http://h/cv.png");
  EXPECT_EQ(back->intro(), "介绍");
  EXPECT_EQ(back->rightCopyRight(), "(c)");
  EXPECT_EQ(back->author(), "A");
  EXPECT_EQ(back->createTime(), "2016-01-02 03:04:05");
  EXPECT_EQ(back->updateTime(), "2016-02-03");
  EXPECT_EQ(back->packageType(), 2);
  EXPECT_EQ(back->packageText(), "txt");
  ASSERT_EQ(back->tags().size(), 1u);
  EXPECT_EQ(back->tags()[0]->label(), "cute");
  ASSERT_EQ(back->emojis().size(), 1u);
  const auto& e = *back->emojis()[0];
  EXPECT_EQ(e.guid(), "e1");
  EXPECT_EQ(e.emo_code(), "微笑");
  EXPECT_EQ(e.main_image(), "http://h/e1.gif");
  EXPECT_EQ(e.thumbail(), "http://h/e1.png");
  EXPECT_EQ(e.emojiType(), 3);
  EXPECT_EQ(e.package_id(), "p1");
  EXPECT_EQ(e.emo_text(), "smile");
  ASSERT_EQ(e.tags().size(), 1u);
  EXPECT_EQ(e.tags()[0]->guid(), "t2");
  EXPECT_EQ(back->progress(), 0.0) << "progress is never stored";
  EXPECT_EQ(back->keyValues(), p->keyValues());
}

TEST(QLPackageTest, WriteRulesForTypesAndOptionalFields) {
  auto p = packageFrom(R"j({"guid": "p", "packageType": "2", "createtime": "t1",
                           "updatetime": "t2", "packageText": ""})j");
  Value kv = p->keyValues();
  ASSERT_TRUE(kv.find("packageType") && kv.find("packageType")->isString());
  EXPECT_EQ(*kv.find("packageType")->asString(), "2");
  EXPECT_EQ(*kv.find("createtime")->asString(), "t1");
  EXPECT_EQ(*kv.find("updatetime")->asString(), "t2");
  EXPECT_EQ(kv.find("packageText"), nullptr) << "empty package text is not written";
  EXPECT_EQ(kv.find("emoticions"), nullptr) << "unset arrays are not written";
  EXPECT_EQ(kv.find("name"), nullptr) << "unset strings are not written";
  for (const char* key : {"isDefault", "promotion", "is_emoji"}) {
    ASSERT_NE(kv.find(key), nullptr) << key;
    EXPECT_TRUE(kv.find(key)->isBool()) << key;
  }
  EXPECT_EQ(kv.find("progress"), nullptr);
}

TEST(QLPackageTest, SecondReadMergesAndNullLeavesFieldsAlone) {
  auto p = packageFrom(R"j({"guid": "p", "name": "one", "cover": "c"})j");
  p->updateWithKeyValues(json(R"j({"name": "two", "cover": null, "isDefault": null})j"));
  EXPECT_EQ(p->guid(), "p");
  EXPECT_EQ(p->name(), "two");
  EXPECT_EQ(p->cover(), "c");
  EXPECT_FALSE(p->isDefault());
}

TEST(QLPackageTest, NumericIdentifiersAreKeptAsText) {
  auto p = packageFrom(R"j({"guid": 123, "packageType": 2.7, "is_emoji": 0})j");
  EXPECT_EQ(p->guid(), "123");
  EXPECT_EQ(p->packageType(), 2);
  EXPECT_FALSE(p->isEmoji());
}

TEST(QLPackageTest, MainImageListOrder) {
  auto p = packageFrom(R"j({"chat_icon": "icon",
    "emoticions": [{"main_image": "m1", "thumbail": "t1"},
                   {"main_image": "m2"},
                   {"main_image": "", "thumbail": "t3"}]})j");
  EXPECT_EQ(p->mainImgURLStrsOfEmojis(),
            (std::vector<std::string>{"m1", "t1", "m2", "t3", "icon"}));
  auto dup = packageFrom(R"j({"emoticions": [{"main_image": "x", "thumbail": "x"}]})j");
  EXPECT_EQ(dup->mainImgURLStrsOfEmojis(), (std::vector<std::string>{"x", "x"}));
}

TEST(QLPackageTest, EqualityAndHashFollowGuid) {
  auto a = packageFrom(R"j({"guid": "g", "name": "a"})j");
  auto b = packageFrom(R"j({"guid": "g", "name": "b"})j");
  auto c = packageFrom(R"j({"guid": "h"})j");
  EXPECT_TRUE(*a == *b);
  EXPECT_EQ(a->hash(), b->hash());
  EXPECT_FALSE(*a == *c);
}

TEST(QLPackageTest, ProgressObserversSeeNewValuesUntilTheyGoAway) {
  QLPackage p;
  std::vector<double> seen;
  {
    auto sub = p.observeProgress([&](const double& v) { seen.push_back(v); });
    p.setProgress(0.25);
    p.setProgress(0.5);
  }
  p.setProgress(1.0);
  EXPECT_EQ(seen, (std::vector<double>{0.25, 0.5}));
}

TEST(QLEmojiTest, TypeDefaultsAndTagsRule) {
  QLEmoji e;
  e.updateWithKeyValues(json(R"j({"guid": "e", "tags": "not an array"})j"));
  EXPECT_EQ(e.emojiType(), 0);
  EXPECT_FALSE(e.hasTags());
  Value kv = e.keyValues();
  EXPECT_EQ(*kv.find("emojitype")->asString(), "0");
  EXPECT_EQ(kv.find("tags"), nullptr);

  e.updateWithKeyValues(json(R"j({"tags": [{"guid": "a"}, {"guid": "b"}]})j"));
  ASSERT_EQ(e.tags().size(), 2u);
  e.updateWithKeyValues(json(R"j({"tags": {"guid": "c"}})j"));
  EXPECT_EQ(e.tags().size(), 2u) << "a non-array leaves tags unchanged";
}

TEST(QLEmojiTest, SameGuidDifferentCodesAreEqual) {
  QLEmoji a, b;
  a.updateWithKeyValues(json(R"j({"guid": "x", "emo_code": "a"})j"));
  b.updateWithKeyValues(json(R"j({"guid": "x", "emo_code": "b"})j"));
  EXPECT_TRUE(a == b);
  EXPECT_EQ(std::hash<QLEmoji>()(a), std::hash<QLEmoji>()(b));
}

TEST(QLCategoryTest, NameFallsBackToBannerNameAndIsWrittenAsCategoryName) {
  QLCategory c;
  c.updateWithKeyValues(json(R"j({"guid": "b1", "banner_name": "Banners"})j"));
  EXPECT_EQ(c.name(), "Banners");
  EXPECT_FALSE(c.hasPackages());
  Value kv = c.keyValues();
  EXPECT_EQ(*kv.find("category_name")->asString(), "Banners");
  EXPECT_EQ(kv.find("banner_name"), nullptr);
  EXPECT_EQ(kv.find("emoticion_packages"), nullptr);

  QLCategory both;
  both.updateWithKeyValues(json(R"j({"category_name": "C", "banner_name": "B"})j"));
  EXPECT_EQ(both.name(), "C");
}

TEST(QLCategoryTest, PackagesAndEscapedBanners) {
  QLCategory c;
  c.updateWithKeyValues(json(R"j({"category_name": "C", "emoticion_packages": [
      {"guid": "1", "banner": "http://h/a b/横幅.png?x=1&y=[2]"},
      {"guid": "2"},
      {"guid": "3", "banner": "http://h/100%.png#top"},
      {"guid": "4", "banner": "http://h/a%20b.png"}]})j"));
  ASSERT_EQ(c.packages().size(), 4u);
  EXPECT_EQ(c.packages()[1]->guid(), "2");
  EXPECT_EQ(c.banners(),
            (std::vector<std::string>{
                "http://h/a%20b/%E6%A8%AA%E5%B9%85.png?x=1&y=%5B2%5D", "",
                "http://h/100%25.png#top", "http://h/a%20b.png"}));
}

}  // namespace
}  // namespace vexa
