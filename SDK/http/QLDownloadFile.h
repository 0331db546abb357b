// A response body streamed to disk: written to a temporary file beside the
// destination and renamed over it only when the download is committed, so a
// failed or cancelled download never leaves a partial file (and never harms
// a file already at the destination). Not thread-safe: one writer thread.
#pragma once

#include <filesystem>
#include <string_view>

#include "vexa/platform/Result.h"

namespace vexa {

class QLDownloadFile {
 public:
  explicit QLDownloadFile(std::filesystem::path destination);
  // Discards the temporary file unless committed.
  ~QLDownloadFile();
  QLDownloadFile(const QLDownloadFile&) = delete;
  QLDownloadFile& operator=(const QLDownloadFile&) = delete;

  const std::filesystem::path& destination() const { return destination_; }
  // Creates the temporary file (the destination's directory must exist).
  // Starting again discards what was written.
  Status open();
  // Appends every byte or fails with kQLURLErrorCannotWriteToFile.
  Status write(std::string_view bytes);
  // Flushes the data to disk and renames it over the destination.
  Status commit();
  // Removes the temporary file; the destination is left as it was.
  void discard();

 private:
  std::filesystem::path destination_;
  std::filesystem::path temporary_;
  int fd_ = -1;
};

}  // namespace vexa
