#include <gtest/gtest.h>

#include "vexa/platform/ui/HTMLTextExtractor.h"

namespace vexa {
namespace {

using Kind = HTMLTextBlock::Kind;

std::vector<std::string> texts(const HTMLText& t) {
  std::vector<std::string> out;
  for (const auto& b : t.blocks) out.push_back(b.text);
  return out;
}

TEST(HTMLTextExtractor, HeadingsParagraphsListsAndLinksWithoutScriptsOrStyles) {
  auto page = HTMLTextExtractor::extract(R"(<!DOCTYPE html><html><head>
<title> 服务  声明 </title><style>p { color: red }</style>
<script>document.write("<p>never</p>")</script></head>
<body><h1>服务声明</h1><!-- <p>hidden</p> -->
<p>First   line
   goes <b>on</b>,<br>then <a href="/pages/more.html?a=1&amp;b=2">more <i>here</i></a>.</p>
<ul><li><p>one</p><li>two<ol><li>nested</ol></ul>
<pre>
  keep   this
x</pre><table><tr><td>a</td><td>b</td></tr></table><template><p>later</p></template></body>)");
  EXPECT_EQ(page.title, "服务 声明");
  EXPECT_FALSE(page.truncated);
  EXPECT_EQ(texts(page), (std::vector<std::string>{"服务声明", "First line goes on,\nthen more here.",
                                                   "\u2022 one", "\u2022 two", "1. nested",
                                                   "  keep   this\nx", "a b"}));
  ASSERT_EQ(page.blocks.size(), 7u);
  EXPECT_EQ(page.blocks[0].kind, Kind::Heading);
  EXPECT_EQ(page.blocks[0].level, 1);
  EXPECT_EQ(page.blocks[1].links,
            (std::vector<HTMLLink>{{25, 34, "/pages/more.html?a=1&b=2"}}));  // "more here"
  EXPECT_EQ(page.blocks[2].kind, Kind::ListItem);
  EXPECT_EQ(page.blocks[4].level, 2);
  EXPECT_EQ(page.blocks[5].kind, Kind::Preformatted);
}

TEST(HTMLTextExtractor, DecodesNamedAndNumericReferences) {
  auto t = [](std::string_view html) {
    auto page = HTMLTextExtractor::extract(html);
    return page.blocks.empty() ? std::string() : page.blocks[0].text;
  };
  EXPECT_EQ(t("&lt;a&gt; &amp; &quot;q&quot; &apos;s&apos; &copy;&nbsp;&euro; &Omega;&hellip;"),
            "<a> & \"q\" 's' ©\u00a0€ Ω…");
  EXPECT_EQ(t("&#20320;&#x597D;&#X1F600; &#150; &#0; &#xD800; &#x110000; &#99999999999999999999;"),
            "你好😀 \u2013 \uFFFD \uFFFD \uFFFD \uFFFD");
  EXPECT_EQ(t("AT&T &bogus; &copy2020 &amp &# &#x; & ;"), "AT&T &bogus; ©2020 & &# &#x; & ;");
  EXPECT_EQ(t("a&#32;&#10;  b"), "a b");  // references to spaces collapse too
}

TEST(HTMLTextExtractor, HostileInputStaysBoundedAndValid) {
  EXPECT_EQ(texts(HTMLTextExtractor::extract("text <p class=\"unclosed")), std::vector<std::string>{"text"});
  EXPECT_EQ(texts(HTMLTextExtractor::extract("a<!-- never closed <p>b")), std::vector<std::string>{"a"});
  EXPECT_EQ(texts(HTMLTextExtractor::extract("<script>alert(1)")), std::vector<std::string>{});
  EXPECT_EQ(texts(HTMLTextExtractor::extract(std::string("\xff<p>\xe4\xbd x\0y", 10))),
            (std::vector<std::string>{"\uFFFD", "\uFFFD\uFFFD x\uFFFDy"}));
  EXPECT_EQ(texts(HTMLTextExtractor::extract("1 < 2 <3 <> </ 4 >")), std::vector<std::string>{"1 < 2 <3 <>"});

  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "<ul><li>x";
  auto lists = HTMLTextExtractor::extract(deep);
  ASSERT_EQ(lists.blocks.size(), 1000u);
  EXPECT_EQ(lists.blocks.back().level, HTMLTextExtractor::kMaximumListDepth);

  std::string many;
  for (size_t i = 0; i < HTMLTextExtractor::kMaximumBlocks + 10; ++i) many += "<p>x";
  auto cut = HTMLTextExtractor::extract(many);
  EXPECT_EQ(cut.blocks.size(), HTMLTextExtractor::kMaximumBlocks);
  EXPECT_TRUE(cut.truncated);
  EXPECT_TRUE(HTMLTextExtractor::extract(std::string(HTMLTextExtractor::kMaximumInputSize + 1, 'a')).truncated);
}

}  // namespace
}  // namespace vexa
