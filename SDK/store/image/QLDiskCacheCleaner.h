// The cleaning rules of the image cache's disk level, apart from the cache
// so that they can be checked with exact sizes and times:
//  1. files modified at or before now - maxAge are deleted;
//  2. when a size limit is set (above 0) and the remaining files take more
//     than it, the oldest are deleted until they take less than half of it.
// Time arithmetic is exact for every 64-bit age and file time: an age beyond
// what the clock can reach keeps every file, nothing overflows.
//
// Stateless; the cache runs it on its serial queue.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace vexa {

class QLDiskCacheCleaner {
 public:
  // Seconds and nanoseconds since the epoch, as file systems keep them.
  struct FileTime {
    int64_t seconds = 0;
    int64_t nanoseconds = 0;
  };
  struct FileEntry {
    std::filesystem::path path;
    FileTime modified;
    uint64_t allocatedSize = 0;
  };

  static FileTime now();
  // Whether a file modified at `modified` is at or past `maxAgeSeconds` old.
  static bool isExpired(FileTime modified, FileTime now, int64_t maxAgeSeconds);
  // The regular files below `directory` (hidden entries and what lies in
  // hidden directories skipped), with their times and allocated sizes.
  static std::vector<FileEntry> scan(const std::filesystem::path& directory);
  // Applies the rules; `remove` deletes one file and tells whether it did.
  // Returns the paths deleted, in order.
  static std::vector<std::filesystem::path> clean(
      std::vector<FileEntry> files, FileTime now, int64_t maxAgeSeconds, uint64_t maxSize,
      const std::function<bool(const std::filesystem::path&)>& remove);
};

}  // namespace vexa
