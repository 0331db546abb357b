// The direct XML reader and writer against libplist, the reference for the
// store's files: the same bytes written, the same values read.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "vexa/platform/LibplistCodec.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/platform/PropertyListXmlReader.h"
#include "vexa/platform/PropertyListXmlWriter.h"

namespace vexa {
namespace {

class RandomValues {
 public:
  explicit RandomValues(uint32_t seed) : rng_(seed) {}

  Value value(int depth) {
    const int kind = pick(depth > 9 ? 6 : 10);
    switch (kind) {
      case 0: return Value(pick(2) == 1);
      case 1: return Value(integer());
      case 2: return Value(real());
      case 3: return Value(text());
      case 4: return Value(data());
      case 5: return Value(text());
      case 6:
      case 7: {
        Value::Array a;
        for (int i = pick(5); i > 0; --i) a.push_back(value(depth + 1));
        return Value(std::move(a));
      }
      default: {
        Value::Dictionary d;
        for (int i = pick(5); i > 0; --i) d.insert_or_assign(text(), value(depth + 1));
        return Value(std::move(d));
      }
    }
  }

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }

  int64_t integer() {
    static constexpr int64_t kEdges[] = {0, -1, 1, std::numeric_limits<int64_t>::min(),
                                         std::numeric_limits<int64_t>::max()};
    switch (pick(3)) {
      case 0: return kEdges[pick(5)];
      case 1: return pick(2001) - 1000;
      default: return static_cast<int64_t>((uint64_t{rng_()} << 32) | rng_());
    }
  }

  double real() {
    switch (pick(5)) {
      case 0: return static_cast<double>(pick(2001) - 1000);  // integral
      case 1: return pick(2) ? 0.0 : -0.0;
      case 2: return std::ldexp(static_cast<double>(rng_()), pick(2100) - 1100);  // incl. subnormal
      case 3: return (pick(2) ? 1 : -1) * std::numeric_limits<double>::infinity();
      default: {
        double d;
        do {
          const uint64_t bits = (uint64_t{rng_()} << 32) | rng_();
          std::memcpy(&d, &bits, sizeof d);
        } while (!std::isfinite(d));
        return d;
      }
    }
  }

  std::string text() {
    static const char* const kPieces[] = {"a", "Z", " ", "<", ">", "&", "\"", "'", "&amp;",
                                          "]]>", "微笑", "é", "😀", "\t", "\n", "\r", "\r\n",
                                          "\x01", "\x1f", "\x7f", std::string_view("\0", 1).data(),
                                          "CF", "&#65;", "key"};
    std::string s;
    for (int i = pick(8); i > 0; --i) {
      const int n = pick(24);
      s += n == 20 ? std::string(1, '\0') : std::string(kPieces[n]);
    }
    return s;
  }

  Bytes data() {
    Bytes b(static_cast<size_t>(pick(4) == 0 ? pick(200) : pick(8)));
    for (auto& c : b) c = static_cast<uint8_t>(rng_());
    return b;
  }

  std::mt19937 rng_;
};

TEST(PropertyListCodecTest, WritesLibplistsBytesAndReadsItsValues) {
  RandomValues random(24);
  // Keys that end at the same NUL, and a null among them.
  const std::string k("k\0a\0b", 5);
  const Value clashing = Value::dict({{"k", 1}, {k.substr(0, 3), 2}, {k, 3}, {"l", 4}});
  Value clashingNull = clashing;
  clashingNull[k.substr(0, 3)] = Value();
  for (int i = 0; i < 3002; ++i) {
    const Value v = i == 0 ? clashing : i == 1 ? clashingNull : random.value(0);
    auto ours = PropertyListXmlWriter::write(v);
    auto theirs = LibplistCodec::toXml(v);
    ASSERT_EQ(ours.ok(), theirs.ok()) << "value " << i;
    if (!ours) continue;
    ASSERT_EQ(*ours, *theirs) << "value " << i;
    auto expected = LibplistCodec::parse(*theirs);
    ASSERT_TRUE(expected.ok()) << "value " << i;
    auto read = PropertyListXmlReader::read(*ours);
    // Its own output is the reader's to read; infinities go the general way.
    ASSERT_EQ(read.has_value(), ours->find("infinity<") == std::string::npos) << *ours;
    if (read) {
      ASSERT_TRUE(read->ok());
      ASSERT_EQ(**read, *expected) << *ours;
    }
  }
}

TEST(PropertyListCodecTest, HandWrittenFormsReadAsLibplistReadsThem) {
  const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
  struct Case {
    std::string body;
    bool direct;
  } cases[] = {
      {"<dict>\r\n\t<key>a&amp;b&#x4e2d;&#65;</key> <!-- c --> <string>&lt;&gt;&quot;&apos;</string>"
       "<key>e</key><string/><key>d</key><data/><key>t</key><true/><key>f</key><false/>"
       "<key>x</key><dict/><key>y</key><array/><key>z</key><string></string></dict>", true},
      {"<array><date>2016-03-04T05:06:07Z</date><date>1970-01-01T00:00:00Z</date>"
       "<date>2001-02-31T00:00:00Z</date><data> YW Jj\n\tZA==\n</data><data>YQ==</data>"
       "<integer>-0</integer><integer>18446744073709551615</integer><real>.5</real>"
       "<real>-1.5e-3</real><real>1.</real><real>4.9406564584124654e-324</real></array>", true},
      {"<dict><key>a</key><integer>1</integer><key>a</key><integer>2</integer></dict>", true},
      // Left to libplist: its leniencies and the forms it reads differently.
      {"<dict><key>CF$UID</key><integer>5</integer></dict>", false},
      {"<integer>010</integer>", false},
      {"<integer> 5</integer>", false},
      {"<integer>18446744073709551616</integer>", false},
      {"<real>+infinity</real>", false},
      {"<date>2070-01-01T00:00:00Z</date>", false},
      {"<data>YW=JjZA==</data>", false},
      {"<string><![CDATA[a<b]]></string>", false},
      {"<string>a<!-- c -->b</string>", false},
      {"<string>&#xD800;</string>", false},
      {"<true/><false/>", false},
      {"<dict><key>a</key></dict>", false},
  };
  for (const auto& c : cases) {
    const std::string doc = head + c.body + "\n</plist>\n";
    auto expected = LibplistCodec::parse(doc);
    ASSERT_TRUE(expected.ok()) << c.body;
    auto read = PropertyListXmlReader::read(doc);
    EXPECT_EQ(read.has_value(), c.direct) << c.body;
    if (read) {
      EXPECT_TRUE(read->ok() && **read == *expected) << c.body;
    }
    auto parsed = PropertyList::parse(doc);
    EXPECT_TRUE(parsed.ok() && *parsed == *expected) << c.body;
  }
  // Trailing junk and a missing end tag: libplist reads them, the direct
  // reader leaves them to it.
  for (const std::string& doc : {head + "<true/></plist>junk", head + "<true/>"}) {
    EXPECT_FALSE(PropertyListXmlReader::read(doc).has_value());
    EXPECT_EQ(*PropertyList::parse(doc), Value(true));
  }
}

TEST(PropertyListCodecTest, NestingBeyondTheLimitIsAnErrorBothWays) {
  auto nested = [](int levels) {
    Value v = Value::array();
    for (int i = 0; i < levels; ++i) v = Value(Value::Array{std::move(v)});
    return v;
  };
  auto deepest = PropertyList::toXml(nested(PropertyList::kMaxDepth));
  ASSERT_TRUE(deepest.ok());
  EXPECT_TRUE(PropertyList::parse(*deepest).ok());
  EXPECT_FALSE(PropertyList::toXml(nested(PropertyList::kMaxDepth + 1)).ok());
  std::string tooDeep = "<plist>";
  for (int i = 0; i <= PropertyList::kMaxDepth + 1; ++i) tooDeep += "<array>";
  tooDeep += "<true/>";
  for (int i = 0; i <= PropertyList::kMaxDepth + 1; ++i) tooDeep += "</array>";
  tooDeep += "</plist>";
  auto read = PropertyListXmlReader::read(tooDeep);
  ASSERT_TRUE(read.has_value());
  EXPECT_FALSE(read->ok());
  EXPECT_FALSE(PropertyList::parse(tooDeep).ok());
}

}  // namespace
}  // namespace vexa
