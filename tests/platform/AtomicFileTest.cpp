// The one writer of whole files: the destination is the old content or the
// new, and nothing is left beside it whatever happens.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "vexa/platform/AtomicFile.h"
#include "vexa/platform/FileSystem.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

size_t entriesIn(const std::filesystem::path& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(AtomicFileTest, OnlyACommitReplacesAndNothingIsLeftBeside) {
  test::TempDirectory dir;
  const auto target = dir / "data";
  ASSERT_TRUE(FileSystem::writeAtomically(target, "old").ok());
  {
    AtomicFile abandoned(target);
    ASSERT_TRUE(abandoned.write("half").ok());
  }
  EXPECT_EQ(*FileSystem::readFile(target), "old") << "an uncommitted write leaves the file";
  EXPECT_EQ(entriesIn(dir.path()), 1u) << "and removes its temporary file";

  AtomicFile file(target);
  ASSERT_TRUE(file.write("ne").ok());
  ASSERT_TRUE(file.write("w").ok());
  ASSERT_TRUE(file.commit().ok());
  EXPECT_EQ(*FileSystem::readFile(target), "new");
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(AtomicFileTest, TheModeHoldsWhateverTheUmaskAndAFailedCommitCleansUp) {
  test::TempDirectory dir;
  const mode_t saved = ::umask(0077);
  AtomicFile shared(dir / "shared", 0644);
  Status committed = shared.commit();
  ::umask(saved);
  ASSERT_TRUE(committed.ok());
  struct stat st {};
  ASSERT_EQ(::stat((dir / "shared").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  EXPECT_EQ(st.st_size, 0) << "a commit of nothing is an empty file";

  // A folder stands where the file should go: the rename fails.
  std::filesystem::create_directories(dir / "taken" / "inside");
  AtomicFile blocked(dir / "taken");
  ASSERT_TRUE(blocked.write("x").ok());
  Status failed = blocked.commit();
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().domain(), FileSystem::kErrorDomain);
  EXPECT_EQ(entriesIn(dir.path()), 2u) << "no temporary file stays behind";
}

}  // namespace
}  // namespace vexa
