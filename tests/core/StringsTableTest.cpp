#include <gtest/gtest.h>

#include "vexa/platform/FileSystem.h"
#include "vexa/platform/ResourceBundle.h"
#include "vexa/platform/StringsTable.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

TEST(StringsTableTest, ReadsEntriesCommentsAndEscapes) {
  auto table = StringsTable::parse(
      "\xEF\xBB\xBF/* heading\n   two lines */\n"
      "\"点击刷新\" = \"Tap \\\"here\\\"\";  // trailing\n"
      "bare_key.1 = \"line\\nbreak\\ttab\\\\\";\n"
      "\"u\" = \"\\U4E2D\\u6587 \\UD83D\\UDE00\";\n"
      "\"dup\" = \"first\"; \"dup\" = \"second\";\n");
  ASSERT_TRUE(table.ok()) << table.error().description();
  EXPECT_EQ(table->at("点击刷新"), "Tap \"here\"");
  EXPECT_EQ(table->at("bare_key.1"), "line\nbreak\ttab\\");
  EXPECT_EQ(table->at("u"), "中文 \xF0\x9F\x98\x80");
  EXPECT_EQ(table->at("dup"), "second");
  EXPECT_TRUE(StringsTable::parse("").ok());
}

TEST(StringsTableTest, MalformedTextNamesTheLine) {
  struct Case {
    std::string text, fragment;
  };
  const std::vector<Case> cases = {
      {"\"a\" = \"b\"", "line 1: expected ';'"},
      {"\"a\" \"b\";", "expected '='"},
      {"\n\n\"a\" = \"b", "line 3: unterminated string"},
      {"/* never closed", "unterminated comment"},
      {"\"a\" = \"\\q\";", "unknown escape"},
      {"\"a\" = \"\\UD800\";", "lone surrogate"},
      {"\"a\" = \"\\U12\";", "bad \\U escape"},
      {"= \"b\";", "expected a quoted string"},
      {"\"a\xFF\" = \"b\";", "not UTF-8"},
  };
  for (const auto& c : cases) {
    auto result = StringsTable::parse(c.text);
    ASSERT_FALSE(result.ok()) << c.text;
    EXPECT_EQ(result.error().domain(), StringsTable::kErrorDomain);
    EXPECT_NE(result.error().description().find(c.fragment), std::string::npos) << result.error().description();
  }
}

TEST(ResourceBundleTest, LooksUpFilesAndTables) {
  test::TempDirectory dir;
  EXPECT_FALSE(ResourceBundle::open(dir / "missing").ok());
  ASSERT_TRUE(FileSystem::writeAtomically(dir / "pic@2x.png", "png").ok());
  ASSERT_TRUE(FileSystem::writeAtomically(dir / "Broken.strings", "\"a\" = ").ok());
  ASSERT_TRUE(FileSystem::writeAtomically(dir / "T.strings", "\"a\" = \"A\";").ok());
  auto bundle = ResourceBundle::open(dir.path());
  ASSERT_TRUE(bundle.ok());
  EXPECT_EQ((*bundle)->pathForResource("pic@2x", "png"), dir / "pic@2x.png");
  EXPECT_EQ((*bundle)->pathForResource("pic@3x", "png"), std::nullopt);
  EXPECT_EQ((*bundle)->pathForResource("../pic@2x", "png"), std::nullopt);
  EXPECT_EQ((*bundle)->localizedStringForKey("a", "", "T"), "A");
  EXPECT_EQ((*bundle)->localizedStringForKey("b", "", "T"), "b");
  EXPECT_EQ((*bundle)->localizedStringForKey("b", "fallback", "T"), "fallback");
  EXPECT_EQ((*bundle)->localizedStringForKey("a", "", "Broken"), "a") << "a malformed table reads as empty";
  EXPECT_EQ((*bundle)->localizedStringForKey("a", "", "Missing"), "a");
}

}  // namespace
}  // namespace vexa
