// Builds a zip archive in memory with minizip's writer.
//
// Entries are deflated and stamped with a fixed date, so the same entries
// always give the same bytes. One thread at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "vexa/platform/Result.h"

namespace vexa::service {

struct ZipMemoryFile;

class ZipWriter {
 public:
  ZipWriter();
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Appends one file entry at the archive's top level or below it.
  Status add(const std::string& name, std::string_view bytes);
  // Writes the central directory and returns the archive; the writer is
  // spent afterwards.
  Result<std::string> finish();

 private:
  std::unique_ptr<ZipMemoryFile> buffer_;
  void* zip_ = nullptr;  // zipFile
};

}  // namespace vexa::service
