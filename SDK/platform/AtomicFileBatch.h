// Files replaced together at the cost of one sync (AtomicFile costs two per
// file): add() writes each to a temporary sibling without flushing it;
// commit() flushes all of them at once, renames each over its destination
// and flushes each folder once. After a crash every destination holds its
// old content or its new one, never a torn file; which of them are new
// depends on how far the renames got. Nothing is in place before commit();
// what is not committed is removed when the batch goes.
//
// Errors are in FileSystem::kErrorDomain with errno codes. One thread.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "vexa/platform/AtomicFile.h"
#include "vexa/platform/Result.h"

namespace vexa {

class AtomicFileBatch {
 public:
  // `mode` is the permission of the finished files, whatever the umask.
  explicit AtomicFileBatch(unsigned mode = 0644) : mode_(mode) {}
  AtomicFileBatch(const AtomicFileBatch&) = delete;
  AtomicFileBatch& operator=(const AtomicFileBatch&) = delete;

  // Writes the next content of `destination` (whose folder must exist). A
  // destination that holds exactly these bytes already is not written
  // again (no new file); commit() still flushes its folder, so that a
  // rename an earlier batch made is durable too.
  Status add(const std::filesystem::path& destination, std::string_view bytes);
  // Puts every added file in place, in the order added. On an error the
  // files not yet renamed are discarded and their destinations untouched.
  Status commit();
  size_t size() const { return files_.size() + unchanged_.size(); }

 private:
  Status flushAll() const;

  unsigned mode_;
  std::vector<std::unique_ptr<AtomicFile>> files_;  // each closed, unflushed
  std::vector<std::filesystem::path> unchanged_;
};

}  // namespace vexa
