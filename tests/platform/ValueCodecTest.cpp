#include <gtest/gtest.h>

#include "vexa/platform/Base64.h"
#include "vexa/platform/JsonCodec.h"
#include "vexa/platform/Md5.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/Utf8.h"
#include "vexa/platform/Uuid.h"
#include "vexa/platform/Value.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

TEST(JsonCodecTest, ParsesEveryKindAndKeepsIntegersApartFromReals) {
  auto v = JsonCodec::parse(
      R"({"i": -42, "big": 18446744073709551615, "r": 0.5, "b": true, "n": null,
          "s": "微笑", "a": [1, "x", {"k": []}]})");
  ASSERT_TRUE(v.ok());
  EXPECT_EQ(*v->find("i")->asInteger(), -42);
  EXPECT_TRUE(v->find("big")->isReal());
  EXPECT_EQ(*v->find("r")->asReal(), 0.5);
  EXPECT_EQ(*v->find("b")->asBool(), true);
  EXPECT_TRUE(v->find("n")->isNull());
  EXPECT_EQ(*v->find("s")->asString(), "微笑");
  ASSERT_EQ(v->find("a")->size(), 3u);
  auto again = JsonCodec::parse(JsonCodec::serialize(*v));
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(*again, *v);
}

TEST(JsonCodecTest, MalformedInputIsAnErrorNotACrash) {
  struct Case {
    const char* text;
    int64_t code;
  } cases[] = {
      {"", JsonCodec::kMalformed},
      {"{", JsonCodec::kMalformed},
      {"{\"a\":}", JsonCodec::kMalformed},
      {"[1,]", JsonCodec::kMalformed},
      {"{} trailing", JsonCodec::kMalformed},
      {"\"\xff\xfe\"", JsonCodec::kNotUtf8},
      {"\"\xed\xa0\x80\"", JsonCodec::kNotUtf8},  // surrogate
  };
  for (const auto& c : cases) {
    auto v = JsonCodec::parse(c.text);
    ASSERT_FALSE(v.ok()) << c.text;
    EXPECT_EQ(v.error().domain(), JsonCodec::kErrorDomain);
    EXPECT_EQ(v.error().code(), c.code) << c.text;
    EXPECT_FALSE(v.error().description().empty());
  }
}

TEST(JsonCodecTest, DeepNestingIsRefusedWithoutRecursion) {
  std::string deep(100000, '[');
  auto v = JsonCodec::parse(deep);
  ASSERT_FALSE(v.ok());
  EXPECT_EQ(v.error().code(), JsonCodec::kTooDeep);
  std::string fine = std::string(200, '[') + std::string(200, ']');
  EXPECT_TRUE(JsonCodec::parse(fine).ok());
}

TEST(ValueTest, DescriptionIsTheFormatText) {
  EXPECT_EQ(Value("abc").description(), "abc");
  EXPECT_EQ(Value(int64_t{-7}).description(), "-7");
  EXPECT_EQ(Value(true).description(), "1");
  EXPECT_EQ(Value(false).description(), "0");
  EXPECT_EQ(Value(2.0).description(), "2");
  EXPECT_EQ(Value(0.1).description(), "0.1");
  EXPECT_EQ(Value().description(), "<null>");
}

TEST(ValueTest, NumberCoercionsSaturate) {
  EXPECT_EQ(Value(1e300).numberAsInteger(), INT64_MAX);
  EXPECT_EQ(Value(-1e300).numberAsInteger(), INT64_MIN);
  EXPECT_EQ(Value(2.9).numberAsInteger(), 2);
  EXPECT_EQ(Value(-2.9).numberAsInteger(), -2);
  EXPECT_EQ(Value(true).numberAsInteger(), 1);
  EXPECT_EQ(Value("3").numberAsInteger(), std::nullopt);
}

TEST(PropertyListTest, XmlRoundTripKeepsTypes) {
  Value v = Value::dict({{"s", "微笑 & <tag>"},
                         {"i", int64_t{-5}},
                         {"big", int64_t{1} << 40},
                         {"r", 1.25},
                         {"t", true},
                         {"f", false},
                         {"d", Bytes{0, 1, 2, 255}},
                         {"a", Value::array({"x", int64_t{2}})},
                         {"empty", Value::dict()}});
  auto xml = PropertyList::toXml(v);
  ASSERT_TRUE(xml.ok());
  EXPECT_NE(xml->find("<plist"), std::string::npos);
  auto back = PropertyList::parse(*xml);
  ASSERT_TRUE(back.ok()) << back.error().description();
  EXPECT_EQ(*back, v);
}

TEST(PropertyListTest, RejectsGarbageAndNull) {
  EXPECT_FALSE(PropertyList::parse("").ok());
  EXPECT_FALSE(PropertyList::parse("not a plist").ok());
  EXPECT_FALSE(PropertyList::parse("bplist00\x01\x02").ok());
  EXPECT_FALSE(PropertyList::toXml(Value::dict({{"n", Value()}})).ok());
}

TEST(PropertyListTest, WriteFileReplacesAtomicallyAndLeavesNoTemporaries) {
  test::TempDirectory dir;
  auto file = dir / "list.plist";
  ASSERT_TRUE(PropertyList::writeFile(file, Value::array({"old"})).ok());
  ASSERT_TRUE(PropertyList::writeFile(file, Value::array({"new"})).ok());
  auto back = PropertyList::readFile(file);
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(*back, Value::array({"new"}));
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
  // A failed write (no such directory) reports an error and creates nothing.
  EXPECT_FALSE(PropertyList::writeFile(dir / "missing" / "x.plist", Value::array()).ok());
}

TEST(UrlEscapingTest, EscapesWhatMayNotStandInAUrl) {
  EXPECT_EQ(UrlEscaping::escape("a b"), "a%20b");
  EXPECT_EQ(UrlEscaping::escape("微笑"), "%E5%BE%AE%E7%AC%91");
  EXPECT_EQ(UrlEscaping::escape("http://h/p?q=1&r=2#f"), "http://h/p?q=1&r=2#f");
  EXPECT_EQ(UrlEscaping::escape("100%"), "100%25");
  EXPECT_EQ(UrlEscaping::escape("[a]{b}|\\^`\"<>"), "%5Ba%5D%7Bb%7D%7C%5C%5E%60%22%3C%3E");
  EXPECT_EQ(UrlEscaping::escape("a.b[c]=d", ":/?&=;+!@#$()',*", "[]."), "a.b[c]%3Dd");
  EXPECT_EQ(UrlEscaping::unescape("a%20b%E5%BE%AE%zz%4"), "a b\xE5\xBE\xAE%zz%4");
}

TEST(UrlEscapingTest, UrlsArrivingEscapedAreNotEscapedAgain) {
  EXPECT_EQ(UrlEscaping::escapeURL("http://h/%E5%9B%A2 cat/a%20b.png"), "http://h/%E5%9B%A2%20cat/a%20b.png");
  EXPECT_EQ(UrlEscaping::escapeURL("http://h/团子 cat/1.png"), "http://h/%E5%9B%A2%E5%AD%90%20cat/1.png");
  EXPECT_EQ(UrlEscaping::escapeURL("100%"), "100%25");
  EXPECT_EQ(UrlEscaping::escapeURL("%zz%4%"), "%25zz%254%25");
  for (const char* url : {"http://h/a b%20c?q=[1]", "%41%", "x%2"}) {
    EXPECT_EQ(UrlEscaping::escapeURL(UrlEscaping::escapeURL(url)), UrlEscaping::escapeURL(url)) << url;
  }
}

TEST(Utf8Test, Validation) {
  EXPECT_TRUE(Utf8::isValid("plain"));
  EXPECT_TRUE(Utf8::isValid("微笑😀"));
  EXPECT_FALSE(Utf8::isValid("\xc0\xaf"));          // overlong
  EXPECT_FALSE(Utf8::isValid("\xe5\xbe"));          // truncated
  EXPECT_FALSE(Utf8::isValid("\xf4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(Utf8::isValid("\x80"));
}

TEST(DigestTest, Md5Base64AndUuidForms) {
  EXPECT_EQ(Md5::lowerHex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5::upperHex("abc"), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(Base64::encode(std::string_view("hello")), "aGVsbG8=");
  auto d = Base64::decode("aGVs\nbG8=");
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(std::string(d->begin(), d->end()), "hello");
  EXPECT_FALSE(Base64::decode("abc").has_value());
  EXPECT_FALSE(Base64::decode("a*==").has_value());
  std::string u = Uuid::random();
  ASSERT_EQ(u.size(), 36u);
  EXPECT_EQ(u[8], '-');
  EXPECT_EQ(u[14], '4');
  for (char c : u) EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == '-') << u;
  EXPECT_NE(Uuid::random(), u);
}

}  // namespace
}  // namespace vexa
