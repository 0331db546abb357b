#include <gtest/gtest.h>

#include "vexa/store/zip/QLZipEntryName.h"
#include "vexa/store/zip/QLZipError.h"

namespace vexa {
namespace {

TEST(QLZipEntryNameTest, NamesInsideTheDestinationResolveToTheirComponents) {
  struct Case {
    std::string raw;
    std::string path;
    bool directory;
  } cases[] = {
      {"a.png", "a.png", false},
      {"sub/a.png", "sub/a.png", false},
      {"sub\\a.png", "sub/a.png", false},
      {"sub/", "sub", true},
      {"sub\\", "sub", true},
      {"./a", "a", false},
      {"a//b", "a/b", false},
      {"a/./b", "a/b", false},
      {"a/../b", "b", false},
      {"./", "", true},
      {"..a/b..", "..a/b..", false},
      {"ab:c", "ab:c", false},
      {"\xe8\xa1\xa8\xe6\x83\x85.png", "\xe8\xa1\xa8\xe6\x83\x85.png", false},
  };
  for (const auto& c : cases) {
    auto name = QLZipEntryName::resolve(c.raw);
    ASSERT_TRUE(name.ok()) << c.raw << ": " << name.error().description();
    EXPECT_EQ(name->relativePath(), c.path) << c.raw;
    EXPECT_EQ(name->isDirectory(), c.directory) << c.raw;
  }
}

TEST(QLZipEntryNameTest, NamesThatLeaveTheDestinationOrCannotBeFilesAreRefused) {
  const std::string cases[] = {
      "../x",   "a/../../x", "/x",      "//x", "..\\x", "C:x",  "W:../x", "c:\\x",
      "\\x",    "..",        "a/..",    "",    "/",     "a/b/../../..", std::string("x\0y", 3),
      "\xff.png", "\xc0\xaf", "sub/../../dest-evil/x",
  };
  for (const auto& raw : cases) {
    auto name = QLZipEntryName::resolve(raw);
    ASSERT_FALSE(name.ok()) << raw;
    EXPECT_EQ(name.error().code(), QLZipError::kUnsafeName) << raw;
    EXPECT_EQ(name.error().domain(), QLZipError::kDomain);
  }
}

}  // namespace
}  // namespace vexa
