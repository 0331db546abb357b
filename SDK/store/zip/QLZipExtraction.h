// One walk over the entries of an open archive into a destination
// directory: the body of QLZipArchive::UnzipFileTo.
//
// Messages and overwrite questions go through the archive that owns the
// walk; the result is the first failure, which ends the walk. Used on the
// archive's thread only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "vexa/platform/Result.h"

struct unz_file_info64_s;

namespace vexa {

class QLZipArchive;
class QLZipDestination;
class QLZipEntryName;

class QLZipExtraction {
 public:
  struct Options {
    std::string password;
    bool overWrite = true;
    uint64_t maxTotalBytes = 0;
    uint64_t maxEntryCount = 0;
  };

  // `unzFile` is the archive's open minizip reader.
  QLZipExtraction(void* unzFile, Options options, QLZipArchive& archive)
      : unzFile_(unzFile), options_(std::move(options)), archive_(archive) {}

  Status run(const std::filesystem::path& destination);

 private:
  Status extractCurrent(QLZipDestination& destination);
  Status writeFile(QLZipDestination& destination, const QLZipEntryName& name,
                   const unz_file_info64_s& info);
  // The failure, told to the delegate with `message` (none: its own text).
  Status failure(Error error, const char* message = nullptr);

  void* unzFile_;
  Options options_;
  QLZipArchive& archive_;
  uint64_t inflated_ = 0;
};

}  // namespace vexa
