// A response body streamed to disk through an AtomicFile: written beside the
// destination and put in place (file and folder flushed) only when the
// download is committed, so a failed or cancelled download never leaves a
// partial file and never harms a file already at the destination. Failures
// are kQLURLErrorDomain errors (cannot create, cannot write). Not
// thread-safe: one writer thread.
#pragma once

#include <filesystem>
#include <string_view>

#include "vexa/platform/AtomicFile.h"
#include "vexa/platform/Result.h"

namespace vexa {

class QLDownloadFile {
 public:
  explicit QLDownloadFile(std::filesystem::path destination);

  const std::filesystem::path& destination() const { return file_.destination(); }
  // Creates the temporary file (the destination's directory must exist).
  // Starting again discards what was written.
  Status open();
  // Appends every byte or fails with kQLURLErrorCannotWriteToFile.
  Status write(std::string_view bytes);
  // Flushes the data to disk and puts it in place of the destination.
  Status commit();
  // Removes the temporary file; the destination is left as it was.
  void discard() { file_.discard(); }

 private:
  AtomicFile file_;
};

}  // namespace vexa
