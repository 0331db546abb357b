#include "vexa/store/image/QLDiskCacheCleaner.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>

#include "vexa/platform/WallClock.h"

namespace vexa {
namespace {

// Wide enough for any difference of two 64-bit second counts in nanoseconds.
__extension__ typedef __int128 Nanoseconds128;

Nanoseconds128 toNanoseconds(QLDiskCacheCleaner::FileTime t) {
  return Nanoseconds128(t.seconds) * 1000000000 + t.nanoseconds;
}

bool isHidden(const std::filesystem::path& p) {
  const std::string name = p.filename().string();
  return !name.empty() && name[0] == '.';
}

bool olderThan(const QLDiskCacheCleaner::FileEntry& a, const QLDiskCacheCleaner::FileEntry& b) {
  return toNanoseconds(a.modified) < toNanoseconds(b.modified);
}

}  // namespace

QLDiskCacheCleaner::FileTime QLDiskCacheCleaner::now() {
  const auto since = WallClock::now().time_since_epoch();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(since).count();
  return {ns / 1000000000, ns % 1000000000};
}

bool QLDiskCacheCleaner::isExpired(FileTime modified, FileTime now, int64_t maxAgeSeconds) {
  // modified <= now - maxAge, rearranged so that no term overflows.
  return toNanoseconds(now) - toNanoseconds(modified) >=
         Nanoseconds128(maxAgeSeconds) * 1000000000;
}

std::vector<QLDiskCacheCleaner::FileEntry> QLDiskCacheCleaner::scan(
    const std::filesystem::path& directory) {
  std::vector<FileEntry> files;
  std::error_code ec;
  std::filesystem::recursive_directory_iterator it(directory, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::filesystem::path& p = it->path();
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) continue;
    if (isHidden(p)) {
      if (S_ISDIR(st.st_mode)) it.disable_recursion_pending();
      continue;
    }
    if (S_ISDIR(st.st_mode)) continue;
    files.push_back(FileEntry{p, FileTime{st.st_mtim.tv_sec, st.st_mtim.tv_nsec},
                              static_cast<uint64_t>(st.st_blocks) * 512});
  }
  return files;
}

std::vector<std::filesystem::path> QLDiskCacheCleaner::clean(
    std::vector<FileEntry> files, FileTime now, int64_t maxAgeSeconds, uint64_t maxSize,
    const std::function<bool(const std::filesystem::path&)>& remove) {
  std::vector<std::filesystem::path> removed;
  std::vector<FileEntry> kept;
  uint64_t currentSize = 0;
  for (auto& f : files) {
    if (isExpired(f.modified, now, maxAgeSeconds)) {
      if (remove(f.path)) removed.push_back(f.path);
    } else {
      currentSize += f.allocatedSize;
      kept.push_back(std::move(f));
    }
  }
  if (maxSize == 0 || currentSize <= maxSize) return removed;
  const uint64_t target = maxSize / 2;
  std::stable_sort(kept.begin(), kept.end(), olderThan);
  for (const auto& f : kept) {
    if (remove(f.path)) {
      removed.push_back(f.path);
      currentSize -= std::min(currentSize, f.allocatedSize);
      if (currentSize < target) break;
    }
  }
  return removed;
}

}  // namespace vexa
