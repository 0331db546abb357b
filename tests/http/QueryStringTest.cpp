#include <gtest/gtest.h>

#include "vexa/http/QLQueryString.h"

namespace vexa {
namespace {

struct Case {
  const char* name;
  Value parameters;
  std::string expected;
};

TEST(QLQueryStringTest, WireForm) {
  const Case cases[] = {
      {"null", Value(), ""},
      {"empty", Value::dict(), ""},
      {"sorted keys", Value::dict({{"b", 2}, {"a", 1}, {"c", "x"}}), "a=1&b=2&c=x"},
      {"upper case sorts before lower case",
       Value::dict({{"app", 1}, {"Zed", 2}, {"_u", 3}, {"Ab", 4}}), "Ab=4&Zed=2&_u=3&app=1"},
      {"nested dictionary",
       Value::dict({{"user", Value::dict({{"name", "x"}, {"age", 3}})}}),
       "user[age]=3&user[name]=x"},
      {"dictionary two levels deep",
       Value::dict({{"a", Value::dict({{"b", Value::dict({{"c", 1}})}})}}), "a[b][c]=1"},
      {"array", Value::dict({{"ids", Value::array({3, 1, 2})}}), "ids[]=3&ids[]=1&ids[]=2"},
      {"array of dictionaries",
       Value::dict({{"u", Value::array({Value::dict({{"k", "v"}})})}}), "u[][k]=v"},
      {"null value writes the key alone", Value::dict({{"flag", Value()}, {"x", 1}}), "flag&x=1"},
      {"booleans and reals", Value::dict({{"t", true}, {"f", false}, {"r", 1.5}}), "f=0&r=1.5&t=1"},
      {"reserved characters of values",
       Value::dict({{"v", ":/?&=;+!@#$()',*"}}),
       "v=%3A%2F%3F%26%3D%3B%2B%21%40%23%24%28%29%27%2C%2A"},
      {"characters that stay", Value::dict({{"v", "aZ09-._~"}}), "v=aZ09-._~"},
      {"space, quote, percent and UTF-8", Value::dict({{"v", "a b\"%\xE4\xBD\xA0"}}),
       "v=a%20b%22%25%E4%BD%A0"},
      {"brackets stay in keys but not in values", Value::dict({{"k[x].y", "[1]"}}),
       "k[x].y=%5B1%5D"},
      {"reserved characters of keys", Value::dict({{"a&b=c", 1}}), "a%26b%3Dc=1"},
      {"empty containers give no pairs",
       Value::dict({{"a", Value::array()}, {"b", Value::dict()}, {"c", 1}}), "c=1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QLQueryString::fromParameters(c.parameters), c.expected) << c.name;
  }
}

TEST(QLQueryStringTest, PairsComeInSignatureOrder) {
  Value params = Value::dict({{"timestamp", 1}, {"access_token", "t"}, {"os", "6"},
                              {"device_no", "D"}, {"app_uid", "u"}});
  std::vector<std::string> keys;
  for (const auto& pair : QLQueryString::pairs(params)) keys.push_back(pair.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"access_token", "app_uid", "device_no", "os", "timestamp"}));
}

}  // namespace
}  // namespace vexa
