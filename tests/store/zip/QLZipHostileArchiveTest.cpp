#include <gtest/gtest.h>
#include <unistd.h>

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

// Many central-directory entries that all point at one deflated block:
// argv: zip, kernel bytes, entry count.
const char* const kOverlapBombProgram = R"(
import struct, sys, zlib
path, n, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
c = zlib.compressobj(9, zlib.DEFLATED, -15)
comp = c.compress(bytes(n)) + c.flush()
crc = zlib.crc32(bytes(n))
local = struct.pack("<IHHHHHIIIHH", 0x04034b50, 20, 0, 8, 0, 0x21, crc, len(comp), n, 4, 0) + b"0000" + comp
cd = b""
for i in range(count):
    cd += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014b50, 0x31e, 20, 0, 8, 0, 0x21, crc, len(comp), n,
                      4, 0, 0, 0, 0, 0o100644 << 16, 0) + b"%04d" % i
eocd = struct.pack("<IHHHHIIH", 0x06054b50, 0, 0, count, count, len(cd), len(local), 0)
open(path, "wb").write(local + cd + eocd)
)";

class QLZipHostileArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::hasTool("python3")) GTEST_SKIP() << "python3 is not installed";
  }
  std::filesystem::path zipPath() const { return tmp_ / "archive.zip"; }
  std::filesystem::path dest() const { return tmp_ / "dest"; }

  // Extracts into dest() and returns the error code (0 on success).
  int64_t extract(QLZipArchive& zip, test::RecordingDelegate* recorder = nullptr) {
    if (recorder) zip.setDelegate(recorder->delegate);
    if (!zip.UnzipOpenFile(zipPath())) return zip.lastError()->code();
    bool ok = zip.UnzipFileTo(dest(), true);
    EXPECT_TRUE(zip.UnzipCloseFile());
    if (ok) return 0;
    EXPECT_TRUE(zip.lastError().has_value());
    return zip.lastError() ? zip.lastError()->code() : -1;
  }

  test::TempDirectory tmp_;
};

TEST_F(QLZipHostileArchiveTest, NamesLeavingTheDestinationAreRefusedAndNeverWritten) {
  const std::string names[] = {
      "../x", "a/../../x", "//x", "..\\x", "C:x", "W:../x", "../dest-evil/x",
      (tmp_ / "absolute").string(),
  };
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    std::filesystem::remove_all(dest());
    ASSERT_EQ(test::pythonZip(zipPath(), R"([{"name": "ok.txt", "data": "ok"},
        {"name": ")" + (name == "..\\x" ? std::string("..\\\\x") : name) + R"(", "data": "evil"}])"),
              0);
    test::RecordingDelegate recorder;
    QLZipArchive zip;
    EXPECT_EQ(extract(zip, &recorder), QLZipError::kUnsafeName);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_NE(recorder.messages[0].find("Refused"), std::string::npos);
    EXPECT_EQ(listTree(tmp_.path()), (std::set<std::string>{"archive.zip", "dest/", "dest/ok.txt"}));
  }
}

TEST_F(QLZipHostileArchiveTest, SymbolicLinkEntriesAreRefused) {
  ASSERT_EQ(test::pythonZip(zipPath(), R"([{"name": "link", "symlink": "/etc"},
      {"name": "link/passwd", "data": "evil"}])"),
            0);
  QLZipArchive zip;
  EXPECT_EQ(extract(zip), QLZipError::kSymbolicLink);
  EXPECT_TRUE(listTree(dest()).empty());
}

TEST_F(QLZipHostileArchiveTest, NothingIsWrittenThroughLinksAlreadyInTheDestination) {
  const auto victim = tmp_ / "outside/victim.txt";
  writeText(victim, "precious");
  std::filesystem::create_directories(dest());
  std::filesystem::create_symlink(victim, dest() / "filelink");
  std::filesystem::create_directory_symlink(tmp_ / "outside", dest() / "dirlink");
  std::filesystem::create_hard_link(victim, dest() / "hard");

  ASSERT_EQ(test::pythonZip(zipPath(), R"([{"name": "filelink", "data": "evil"},
      {"name": "hard", "data": "evil"}])"),
            0);
  QLZipArchive zip;
  EXPECT_EQ(extract(zip), 0);
  EXPECT_EQ(readText(victim), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(dest() / "filelink"));
  EXPECT_EQ(readText(dest() / "filelink"), "evil");
  EXPECT_EQ(readText(dest() / "hard"), "evil");

  ASSERT_EQ(test::pythonZip(zipPath(), R"([{"name": "dirlink/victim.txt", "data": "evil"}])"), 0);
  EXPECT_EQ(extract(zip), QLZipError::kLinkInPath);
  EXPECT_EQ(readText(victim), "precious");
  EXPECT_EQ(listTree(tmp_ / "outside"), (std::set<std::string>{"victim.txt"}));
}

TEST_F(QLZipHostileArchiveTest, ArchivesInflatingBeyondTheLimitStop) {
  struct Case {
    const char* what;
    std::string json;
  } cases[] = {
      {"one large entry", R"([{"name": "big", "zeros": 8388608}])"},
      {"many entries", R"([{"name": "1", "zeros": 1048576}, {"name": "2", "zeros": 1048576},
          {"name": "3", "zeros": 1048576}, {"name": "4", "zeros": 1048576},
          {"name": "5", "zeros": 1048576}])"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dest());
    ASSERT_EQ(test::pythonZip(zipPath(), c.json), 0);
    QLZipArchive zip;
    zip.setMaxTotalBytes(4u << 20);
    EXPECT_EQ(extract(zip), QLZipError::kTooLarge);
    uint64_t total = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dest())) {
      total += e.file_size();
    }
    EXPECT_LE(total, 4u << 20);
  }
}

TEST_F(QLZipHostileArchiveTest, OverlappingEntriesCountEveryInflatedByte) {
  // 40 entries of 1 MiB from one 1 KiB block.
  ASSERT_EQ(test::runPython(kOverlapBombProgram, {zipPath().string(), "1048576", "40"}), 0);
  ASSERT_LT(std::filesystem::file_size(zipPath()), 8192u);
  QLZipArchive zip;
  zip.setMaxTotalBytes(16u << 20);
  EXPECT_EQ(extract(zip), QLZipError::kTooLarge);
  EXPECT_EQ(listTree(dest()).size(), 16u);

  std::filesystem::remove_all(dest());
  QLZipArchive roomy;  // the same archive fits a larger limit: the walk itself works
  roomy.setMaxTotalBytes(64u << 20);
  EXPECT_EQ(extract(roomy), 0);
  EXPECT_EQ(listTree(dest()).size(), 40u);
}

TEST_F(QLZipHostileArchiveTest, TooManyEntriesStopBeforeAnythingIsWritten) {
  std::string json = "[";
  for (int i = 0; i < 12; ++i) json += std::string(i ? "," : "") + R"({"name": "f)" + std::to_string(i) + R"("})";
  ASSERT_EQ(test::pythonZip(zipPath(), json + "]"), 0);
  QLZipArchive zip;
  zip.setMaxEntryCount(10);
  EXPECT_EQ(extract(zip), QLZipError::kTooManyEntries);
  EXPECT_TRUE(listTree(dest()).empty());
  QLZipArchive defaults;
  EXPECT_EQ(defaults.maxEntryCount(), 10000u);
  EXPECT_EQ(defaults.maxTotalBytes(), 256u << 20);
}

TEST_F(QLZipHostileArchiveTest, DamagedArchivesAreReportedAndLeaveNoDamagedFile) {
  struct Case {
    const char* what;
    const char* field;
    const char* value;
    QLZipError::Code code;
  } cases[] = {
      {"wrong CRC", "crc", "305419896", QLZipError::kCorrupt},
      {"header claims less", "size", "1000", QLZipError::kCorrupt},
      {"damaged data", "data", "165", QLZipError::kCorrupt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dest());
    std::string text;
    for (int i = 0; i < 4000; ++i) text += std::to_string(i * 7919 % 1000) + " ";
    ASSERT_EQ(test::pythonZip(zipPath(), R"([{"name": "a.txt", "data": ")" + text + R"("}])"), 0);
    ASSERT_EQ(test::patchZip(zipPath(), c.field, c.value), 0);
    test::RecordingDelegate recorder;
    QLZipArchive zip;
    EXPECT_EQ(extract(zip, &recorder), c.code);
    EXPECT_FALSE(std::filesystem::exists(dest() / "a.txt"));
    EXPECT_FALSE(recorder.messages.empty());
  }
}

TEST_F(QLZipHostileArchiveTest, TruncatedAndForeignFilesFailWithoutWritingAnything) {
  ASSERT_EQ(test::pythonZip(zipPath(), R"([{"name": "a.txt", "data": "some data here"}])"), 0);
  const std::string whole = readText(zipPath());
  for (size_t keep : {whole.size() - 10, whole.size() - 30, whole.size() / 2, size_t(40),
                      size_t(0)}) {
    std::filesystem::remove_all(dest());
    writeText(zipPath(), whole.substr(0, keep));
    QLZipArchive zip;
    EXPECT_NE(extract(zip), 0) << keep;
    EXPECT_TRUE(listTree(dest()).empty()) << keep;
  }
  writeText(zipPath(), "GIF89a not a zip at all");
  QLZipArchive zip;
  EXPECT_EQ(extract(zip), QLZipError::kOpenFailed);
}

}  // namespace
}  // namespace vexa
