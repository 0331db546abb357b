// File operations the store, caches and settings share. Every write that
// replaces a file goes through writeAtomically(): a crash leaves either the
// old or the new content, never a torn file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class FileSystem {
 public:
  static const char* const kErrorDomain;  // "VXFileErrorDomain"; codes are errno values

  // Writes to a temporary file in the same directory, flushes it to disk and
  // renames it over `path`. `mode` is the new file's permission bits.
  static Status writeAtomically(const std::filesystem::path& path, std::string_view bytes,
                                unsigned mode = 0644);
  // Reads a whole file; refuses files larger than `maxBytes`.
  static Result<std::string> readFile(const std::filesystem::path& path,
                                      size_t maxBytes = size_t(1) << 31);
  // Reads at most the first `maxBytes` of a file (all of a shorter one).
  static Result<std::string> readPrefix(const std::filesystem::path& path, size_t maxBytes);
  // Whether the regular file holds exactly `bytes` (false when it cannot be
  // read). Compares as it reads, without a copy of the file.
  static bool holds(const std::filesystem::path& path, std::string_view bytes);
  // Creates the directory and its parents (mode 0755 for new ones).
  static Status createDirectories(const std::filesystem::path& path);

  static Error errorFromErrno(int err, const std::string& what);
};

}  // namespace vexa
