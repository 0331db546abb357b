#include <gtest/gtest.h>

#include "service/QueryString.h"

namespace vexa::test {
namespace {

using service::QueryString;

TEST(QueryStringTest, DecodesPairsArraysAndDictionaries) {
  struct Case {
    const char* query;
    Value expected;
  } cases[] = {
      {"", Value::dict()},
      {"a=1&b=%E5%BE%AE%E7%AC%91", Value::dict({{"a", "1"}, {"b", "微笑"}})},
      {"a=x+y&b=x%2By&c=%20", Value::dict({{"a", "x+y"}, {"b", "x+y"}, {"c", " "}})},
      {"flag&empty=", Value::dict({{"flag", nullptr}, {"empty", ""}})},
      {"a=1=2", Value::dict({{"a", "1=2"}})},
      {"&&a=1&", Value::dict({{"a", "1"}})},
      {"codes[]=a&codes[]=b", Value::dict({{"codes", Value::array({"a", "b"})}})},
      {"d[x]=1&d[y]=2", Value::dict({{"d", Value::dict({{"x", "1"}, {"y", "2"}})}})},
      {"%61=bad%zz", Value::dict({{"a", "bad%zz"}})},
  };
  for (const auto& c : cases) {
    auto parsed = QueryString::parse(c.query);
    ASSERT_TRUE(parsed.ok()) << c.query << ": " << parsed.error().description();
    EXPECT_EQ(Value(*parsed), c.expected) << c.query;
  }
}

TEST(QueryStringTest, RefusesAmbiguousOrMalformedQueries) {
  for (const char* query : {"a=1&a=2", "a=1&a[]=2", "a[]=1&a=2", "a[x]=1&a[x]=2", "a[]=1&a[x]=2", "[x]=1",
                            "a[x=1", "a]=1", "a[x][y]=1", "=1", "a=%FF", "%FF=1"}) {
    EXPECT_FALSE(QueryString::parse(query).ok()) << query;
  }
  std::string many;
  for (int i = 0; i <= 256; ++i) many += "k" + std::to_string(i) + "=v&";
  EXPECT_FALSE(QueryString::parse(many).ok());
}

}  // namespace
}  // namespace vexa::test
