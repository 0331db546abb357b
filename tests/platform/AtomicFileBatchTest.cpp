#include <gtest/gtest.h>

#include <sys/stat.h>

#include "vexa/platform/AtomicFileBatch.h"
#include "vexa/platform/FileSystem.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

std::string read(const std::filesystem::path& path) {
  auto bytes = FileSystem::readFile(path);
  return bytes ? *bytes : "<missing>";
}

size_t entries(const std::filesystem::path& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(AtomicFileBatchTest, NothingIsInPlaceBeforeCommitAndNothingIsLeftWhenDropped) {
  test::TempDirectory dir;
  ASSERT_TRUE(FileSystem::writeAtomically(dir / "a", "old").ok());
  {
    AtomicFileBatch batch;
    ASSERT_TRUE(batch.add(dir / "a", "new").ok());
    ASSERT_TRUE(batch.add(dir / "b", "new").ok());
    EXPECT_EQ(read(dir / "a"), "old");
    EXPECT_FALSE(std::filesystem::exists(dir / "b"));
  }
  EXPECT_EQ(entries(dir.path()), 1u) << "the temporaries went with the batch";
  EXPECT_FALSE(AtomicFileBatch().add(dir / "missing" / "c", "x").ok());
}

TEST(AtomicFileBatchTest, CommitReplacesInOrderAndStopsAtTheFirstFailure) {
  test::TempDirectory dir;
  ASSERT_TRUE(FileSystem::writeAtomically(dir / "a", "old").ok());
  std::filesystem::create_directories(dir / "blocked" / "inside");
  AtomicFileBatch batch(0600);
  ASSERT_TRUE(batch.add(dir / "a", "new a").ok());
  ASSERT_TRUE(batch.add(dir / "blocked", "cannot replace a folder").ok());
  ASSERT_TRUE(batch.add(dir / "c", "new c").ok());
  EXPECT_FALSE(batch.commit().ok());
  EXPECT_EQ(read(dir / "a"), "new a");
  struct stat st {};
  ASSERT_EQ(::stat((dir / "a").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "blocked"));
  EXPECT_FALSE(std::filesystem::exists(dir / "c"));
  EXPECT_EQ(entries(dir.path()), 2u) << "no temporary is left";
}

}  // namespace
}  // namespace vexa
