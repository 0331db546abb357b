#include <gtest/gtest.h>

#include "vexa/http/QLResponseHeadParser.h"
#include "vexa/http/QLURL.h"

namespace vexa {
namespace {

TEST(QLResponseHeadParserTest, ReadsTheFinalHead) {
  QLResponseHeadParser head;
  using Line = QLResponseHeadParser::Line;
  EXPECT_EQ(head.feed("HTTP/1.1 100 Continue\r\n"), Line::StatusLine);
  EXPECT_TRUE(head.isInterim());
  EXPECT_EQ(head.feed("\r\n"), Line::EndOfHead);
  EXPECT_EQ(head.feed("HTTP/2 200\r\n"), Line::StatusLine);
  EXPECT_EQ(head.statusCode(), 200);
  EXPECT_EQ(head.feed("Content-Type:  application/json ; charset=utf-8\r\n"), Line::Header);
  EXPECT_EQ(head.feed("X-Long: a\r\n"), Line::Header);
  EXPECT_EQ(head.feed("\t b\r\n"), Line::Header);
  EXPECT_EQ(head.feed("garbage without colon\r\n"), Line::Ignored);
  EXPECT_EQ(head.feed(": no name\r\n"), Line::Ignored);
  EXPECT_EQ(head.feed("\r\n"), Line::EndOfHead);
  QLURLResponse response("http://h/", head.statusCode(), head.headers());
  EXPECT_EQ(response.mimeType(), "application/json");
  EXPECT_EQ(response.header("x-long"), "a b");
  EXPECT_EQ(head.headers().size(), 2u);

  for (const char* bad : {"HTTP/1.1 abc\r\n", "HTTP/1.1\r\n", "HTTP/1.1 99 x\r\n"}) {
    head.feed(bad);
    EXPECT_EQ(head.statusCode(), 0) << bad;
  }
}

TEST(QLURLResponseTest, ContentLength) {
  auto length = [](const char* value) {
    return QLURLResponse("http://h/", 200, {{"Content-Length", value}}).expectedContentLength();
  };
  EXPECT_EQ(length("123"), 123);
  EXPECT_EQ(length(" 7 "), 7);
  EXPECT_EQ(length("-1"), -1);
  EXPECT_EQ(length("12abc"), -1);
  EXPECT_EQ(length("99999999999999999999999"), -1);
  EXPECT_EQ(QLURLResponse().expectedContentLength(), -1);
}

TEST(QLURLTest, QueryItemsAndOrigins) {
  auto url = QLURL::parse("http://Host:80/p?access_token=a&keep=1&access%5Ftoken=b&signature&x=");
  ASSERT_TRUE(url.ok());
  EXPECT_EQ(url->removingQueryItems({"access_token", "signature"}).string(), "http://Host:80/p?keep=1&x=");
  EXPECT_EQ(url->removingQueryItems({"access_token", "signature", "keep", "x"}).string(), "http://Host:80/p");
  EXPECT_TRUE(url->sameOrigin(*QLURL::parse("http://host/other")));
  EXPECT_FALSE(url->sameOrigin(*QLURL::parse("https://host/")));
  EXPECT_FALSE(url->sameOrigin(*QLURL::parse("http://host:81/")));
  EXPECT_EQ(QLURL::parse("http://h/p#f")->appendingQuery("a=1").string(), "http://h/p?a=1#f");
  EXPECT_FALSE(QLURL::parse(std::string("http://h/\0x", 10)).ok());
  EXPECT_FALSE(QLURL::parse("http://h/a b").ok());
}

}  // namespace
}  // namespace vexa
