// A file put in place whole: the bytes go to a temporary sibling of the
// destination ("<name>.tmp.<pid>.XXXXXX"), and commit() flushes it to disk,
// renames it over the destination and flushes the folder, so that after a
// crash the destination holds the old content or the new, never a torn
// file, and a committed rename is not lost. Until committed the destination
// is untouched; a file not committed is removed when the object goes away.
//
// Errors are in FileSystem::kErrorDomain with errno codes. One writer
// thread at a time.
#pragma once

#include <filesystem>
#include <string_view>

#include "vexa/platform/FileHandle.h"
#include "vexa/platform/Result.h"

namespace vexa {

class AtomicFile {
 public:
  // `mode` is the permission of the finished file, whatever the umask.
  explicit AtomicFile(std::filesystem::path destination, unsigned mode = 0644);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  const std::filesystem::path& destination() const { return destination_; }
  // Creates the temporary file (the destination's folder must exist);
  // opening again discards what was written.
  Status open();
  // Appends every byte; opens first when needed.
  Status write(std::string_view bytes);
  // Puts what was written in place (an empty file when nothing was). On
  // failure the temporary file is gone and the destination untouched.
  Status commit();
  // For a caller that flushes many files at once (AtomicFileBatch): close()
  // ends the writing and keeps the temporary file unflushed, so that open
  // handles do not grow with the batch; place() renames it over the
  // destination, flushing neither the file nor its folder. On failure the
  // temporary file is gone.
  Status close();
  Status place();
  const std::filesystem::path& temporary() const { return temporary_; }
  // Flushes the folder of `destination`, where a rename lives. Some file
  // systems refuse; a file already in place is not failed for that.
  static void flushFolderOf(const std::filesystem::path& destination);
  // Removes the temporary file; the destination is left as it was.
  void discard();

 private:
  std::filesystem::path destination_;
  unsigned mode_;
  std::filesystem::path temporary_;
  FileHandle fd_;
};

}  // namespace vexa
