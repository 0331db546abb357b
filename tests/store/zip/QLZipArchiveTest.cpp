#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "support/ExternalTools.h"
#include "support/ZipTestSupport.h"
#include "vexa/store/zip/QLZipArchive.h"
#include "vexa/store/zip/QLZipError.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

using test::listTree;
using test::readText;
using test::writeText;

class QLZipArchiveTest : public ::testing::Test {
 protected:
  std::filesystem::path zipPath() const { return tmp_ / "archive.zip"; }
  std::filesystem::path dest() const { return tmp_ / "dest"; }

  // Opens the archive and extracts it into dest().
  bool extract(QLZipArchive& zip, bool overWrite = true) {
    if (!zip.UnzipOpenFile(zipPath())) return false;
    bool ok = zip.UnzipFileTo(dest(), overWrite);
    EXPECT_TRUE(zip.UnzipCloseFile());
    return ok;
  }

  test::TempDirectory tmp_;
};

TEST_F(QLZipArchiveTest, WhatTheWriterAddsTheReaderGivesBack) {
  writeText(tmp_ / "src/a.png", "alpha");
  writeText(tmp_ / "src/b.gif", std::string(200000, 'b'));
  struct Case {
    std::string password;
  } cases[] = {{""}, {"s3cret"}};
  for (const auto& c : cases) {
    SCOPED_TRACE("password '" + c.password + "'");
    std::filesystem::remove_all(dest());
    {
      QLZipArchive writer;
      ASSERT_TRUE(c.password.empty() ? writer.CreateZipFile2(zipPath())
                                     : writer.CreateZipFile2(zipPath(), c.password));
      EXPECT_TRUE(writer.addFileToZip(tmp_ / "src/a.png", "a.png"));
      EXPECT_TRUE(writer.addFileToZip(tmp_ / "src/b.gif", "deep/b.gif"));
      EXPECT_FALSE(writer.addFileToZip(tmp_ / "src/missing", "missing"));
      EXPECT_TRUE(writer.CloseZipFile2());
      EXPECT_FALSE(writer.CloseZipFile2());
    }
    for (bool fromMemory : {false, true}) {
      std::filesystem::remove_all(dest());
      QLZipArchive reader;
      if (fromMemory) {
        ASSERT_TRUE(reader.UnzipOpenData(readText(zipPath()), c.password));
      } else {
        ASSERT_TRUE(reader.UnzipOpenFile(zipPath(), c.password));
      }
      ASSERT_TRUE(reader.UnzipFileTo(dest(), true));
      EXPECT_EQ(readText(dest() / "a.png"), "alpha");
      EXPECT_EQ(readText(dest() / "deep/b.gif"), std::string(200000, 'b'));
      EXPECT_TRUE(reader.UnzipCloseFile());
      EXPECT_TRUE(reader.UnzipCloseFile());  // nothing left to close
    }
  }
}

TEST_F(QLZipArchiveTest, EncryptedEntriesNeedTheRightPassword) {
  writeText(tmp_ / "src/a.png", std::string(5000, 'a'));
  {
    QLZipArchive writer;
    ASSERT_TRUE(writer.CreateZipFile2(zipPath(), "right"));
    ASSERT_TRUE(writer.addFileToZip(tmp_ / "src/a.png", "a.png"));
  }  // destroying the writer closes the archive
  for (const char* password : {"", "wrong"}) {
    SCOPED_TRACE(password);
    QLZipArchive reader;
    ASSERT_TRUE(reader.UnzipOpenFile(zipPath(), password));
    EXPECT_FALSE(reader.UnzipFileTo(dest(), true));
    ASSERT_TRUE(reader.lastError().has_value());
    EXPECT_FALSE(std::filesystem::exists(dest() / "a.png"));
  }
}

TEST_F(QLZipArchiveTest, EncryptedEntriesInteroperateWithInfoZip) {
  VX_REQUIRE_TOOL("zip");
  VX_REQUIRE_TOOL("unzip");
  const std::string data(30000, 'q');
  writeText(tmp_ / "src/a.png", data);
  writeText(tmp_ / "src/b.txt", "");
  // Info-ZIP's encrypted entries: deflated, stored, and streamed (whose
  // check byte comes from the entry's time).
  for (const char* how : {"-6", "-0", "-"}) {
    SCOPED_TRACE(how);
    std::filesystem::remove(zipPath());
    std::filesystem::remove_all(dest());
    std::string out;
    if (std::string(how) == "-") {
      ASSERT_EQ(test::runCommand({"zip", "-q", "-P", "pw", "-", "a.png", "b.txt"}, tmp_ / "src", &out), 0);
      writeText(zipPath(), out);
    } else {
      ASSERT_EQ(test::runCommand({"zip", "-q", how, "-P", "pw", zipPath().string(), "a.png", "b.txt"},
                                 tmp_ / "src"),
                0);
    }
    QLZipArchive reader;
    ASSERT_TRUE(reader.UnzipOpenFile(zipPath(), "pw"));
    ASSERT_TRUE(reader.UnzipFileTo(dest(), true)) << reader.lastError()->toString();
    EXPECT_EQ(readText(dest() / "a.png"), data);
    EXPECT_EQ(readText(dest() / "b.txt"), "");
    ASSERT_TRUE(reader.UnzipOpenFile(zipPath(), "wrong"));
    EXPECT_FALSE(reader.UnzipFileTo(tmp_ / "other", true));
    EXPECT_EQ(reader.lastError()->code(), QLZipError::kBadPassword);
  }
  // Ours, read back by Info-ZIP.
  {
    QLZipArchive writer;
    ASSERT_TRUE(writer.CreateZipFile2(tmp_ / "ours.zip", "pw"));
    ASSERT_TRUE(writer.addFileToZip(tmp_ / "src/a.png", "a.png"));
  }
  std::string out;
  ASSERT_EQ(test::runCommand({"unzip", "-p", "-P", "pw", (tmp_ / "ours.zip").string(), "a.png"}, {}, &out), 0);
  EXPECT_EQ(out, data);
}

TEST_F(QLZipArchiveTest, ExtractedFilesCarryTheEntryDate) {
  VX_REQUIRE_TOOL("python3");
  ASSERT_EQ(test::pythonZip(zipPath(), R"([{"name": "a.png", "data": "x", "date": [2001, 2, 3, 4, 5, 6]}])"), 0);
  QLZipArchive zip;
  ASSERT_TRUE(extract(zip));
  struct tm t {};
  t.tm_year = 101;
  t.tm_mon = 1;
  t.tm_mday = 3;
  t.tm_hour = 4;
  t.tm_min = 5;
  t.tm_sec = 6;
  t.tm_isdst = -1;
  struct stat st {};
  ASSERT_EQ(::stat((dest() / "a.png").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, std::mktime(&t));
  EXPECT_LT(QLZipArchive::Clock::to_time_t(QLZipArchive::Date1980()), std::mktime(&t));
}

TEST_F(QLZipArchiveTest, DirectoryEntriesAndBackslashNamesFromPython) {
  VX_REQUIRE_TOOL("python3");
  ASSERT_EQ(test::pythonZip(zipPath(), R"([{"name": "sub/", "dir": true},
      {"name": "sub\\a.png", "data": "A"}, {"name": "empty\\", "dir": true},
      {"name": "stored.txt", "data": "plain", "stored": true}])"),
            0);
  QLZipArchive zip;
  ASSERT_TRUE(extract(zip));
  EXPECT_EQ(listTree(dest()),
            (std::set<std::string>{"sub/", "sub/a.png", "empty/", "stored.txt"}));
  EXPECT_EQ(readText(dest() / "sub/a.png"), "A");
  EXPECT_EQ(readText(dest() / "stored.txt"), "plain");
}

TEST_F(QLZipArchiveTest, ArchivesMadeByInfoZip) {
  VX_REQUIRE_TOOL("zip");
  const auto src = tmp_ / "src";
  writeText(src / "title_keyboard_icon.png", "icon");
  writeText(src / "THUMB_1.png", std::string(70000, 't'));
  writeText(src / "deep/er/IMAGE_1.gif", "gif");
  std::filesystem::create_directories(src / "hollow");
  const std::set<std::string> expected{"title_keyboard_icon.png", "THUMB_1.png", "deep/",
                                       "deep/er/", "deep/er/IMAGE_1.gif", "hollow/"};
  struct Case {
    const char* what;
    std::vector<std::string> argv;
  } cases[] = {
      {"deflated", {"zip", "-q", "-r", zipPath().string(), "."}},
      {"stored", {"zip", "-q", "-0", "-r", zipPath().string(), "."}},
      // Written to a pipe, entries carry data descriptors after their data.
      {"streamed", {"zip", "-q", "-r", "-", "."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(zipPath());
    std::filesystem::remove_all(dest());
    std::string out;
    ASSERT_EQ(test::runCommand(c.argv, src, &out), 0);
    if (c.argv[3] == "-") writeText(zipPath(), out);
    QLZipArchive zip;
    ASSERT_TRUE(extract(zip)) << zip.lastError()->toString();
    EXPECT_EQ(listTree(dest()), expected);
    EXPECT_EQ(readText(dest() / "THUMB_1.png"), std::string(70000, 't'));
    EXPECT_EQ(readText(dest() / "deep/er/IMAGE_1.gif"), "gif");
  }
}

TEST_F(QLZipArchiveTest, ExistingFilesAreReplacedUnlessTheDelegateDeclines) {
  VX_REQUIRE_TOOL("python3");
  ASSERT_EQ(test::pythonZip(zipPath(), R"([{"name": "a.png", "data": "new"}])"), 0);
  struct Case {
    bool overWrite;
    bool withDelegate;
    bool answer;
    const char* content;
    size_t questions;
  } cases[] = {
      {true, true, false, "new", 0},   // overwrite: nobody is asked
      {false, false, false, "new", 0},  // no delegate: the answer is yes
      {false, true, true, "new", 1},
      {false, true, false, "old", 1},
  };
  for (const auto& c : cases) {
    writeText(dest() / "a.png", "old");
    test::RecordingDelegate recorder;
    recorder.answer = c.answer;
    QLZipArchive zip;
    if (c.withDelegate) zip.setDelegate(recorder.delegate);
    ASSERT_TRUE(extract(zip, c.overWrite));
    EXPECT_EQ(readText(dest() / "a.png"), c.content);
    ASSERT_EQ(recorder.asked.size(), c.questions);
    if (c.questions) {
      EXPECT_EQ(recorder.asked[0], (dest() / "a.png").string());
    }
  }
}

// A damaged directory record: the archive opens, but its first entry
// cannot be reached.
const char* const kNoReachableEntryProgram = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("a.txt", "hello")
b = bytearray(open(sys.argv[1], "rb").read())
b[b.find(b"PK\x01\x02") + 3] = 9
open(sys.argv[1], "wb").write(b)
)";

TEST_F(QLZipArchiveTest, AnArchiveWithoutReachableEntriesFailsWithTheFirstEntryMessages) {
  VX_REQUIRE_TOOL("python3");
  ASSERT_EQ(test::runPython(kNoReachableEntryProgram, {zipPath().string()}), 0);
  test::RecordingDelegate recorder;
  QLZipArchive zip;
  zip.setDelegate(recorder.delegate);
  EXPECT_FALSE(extract(zip));
  EXPECT_EQ(recorder.messages, (std::vector<std::string>{"Failed", "Error occurs"}));
  EXPECT_EQ(zip.lastError()->code(), QLZipError::kEntryOpenFailed);

  // The zip library refuses to open an archive without entries at all.
  ASSERT_EQ(test::pythonZip(zipPath(), "[]"), 0);
  EXPECT_FALSE(zip.UnzipOpenFile(zipPath()));
  EXPECT_EQ(zip.lastError()->code(), QLZipError::kOpenFailed);
}

TEST_F(QLZipArchiveTest, ADelegateThatIsGoneIsNotCalled) {
  VX_REQUIRE_TOOL("python3");
  ASSERT_EQ(test::runPython(kNoReachableEntryProgram, {zipPath().string()}), 0);
  QLZipArchive zip;
  int calls = 0;
  {
    auto delegate = std::make_shared<QLZipArchiveDelegate>();
    delegate->ErrorMessage = [&](const std::string&) { ++calls; };
    zip.setDelegate(delegate);
  }
  EXPECT_FALSE(extract(zip));
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(zip.lastError()->code(), QLZipError::kEntryOpenFailed);
}

TEST_F(QLZipArchiveTest, ExtractingWithoutAnOpenArchiveFails) {
  QLZipArchive zip;
  EXPECT_FALSE(zip.UnzipFileTo(dest(), true));
  EXPECT_EQ(zip.lastError()->code(), QLZipError::kNotOpen);
  EXPECT_FALSE(zip.addFileToZip(tmp_ / "x", "x"));
  EXPECT_FALSE(zip.UnzipOpenFile(tmp_ / "missing.zip"));
  EXPECT_EQ(zip.lastError()->code(), QLZipError::kOpenFailed);
}

}  // namespace
}  // namespace vexa
