#include "vexa/platform/AtomicFileBatch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <set>

#include "vexa/platform/FileHandle.h"
#include "vexa/platform/FileSystem.h"

namespace vexa {

namespace {

std::string folderOf(const std::filesystem::path& path) {
  return path.has_parent_path() ? path.parent_path().string() : ".";
}

// Flushes `path` (a file or a folder) to disk.
Status syncPath(const std::string& path, bool wholeFileSystem) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FileSystem::errorFromErrno(errno, "cannot open " + path);
#ifdef __linux__
  const int rc = wholeFileSystem ? ::syncfs(fd) : ::fsync(fd);
#else
  (void)wholeFileSystem;
  const int rc = ::fsync(fd);
#endif
  const int err = errno;
  ::close(fd);
  if (rc != 0) return FileSystem::errorFromErrno(err, "cannot flush " + path);
  return Status::Ok();
}

}  // namespace

AtomicFileBatch::~AtomicFileBatch() { discard(); }

Status AtomicFileBatch::add(const std::filesystem::path& destination, std::string_view bytes) {
  if (FileSystem::holds(destination, bytes)) {
    pending_.push_back({std::string(), destination});
    return Status::Ok();
  }
  // The form AtomicFile uses, which a start-up sweep knows as a leftover.
  std::string tmp = destination.string() + ".tmp." + std::to_string(::getpid()) + ".XXXXXX";
  FileHandle fd(::mkostemp(tmp.data(), O_CLOEXEC));
  if (!fd.valid()) return FileSystem::errorFromErrno(errno, "cannot create " + tmp);
  int err = ::fchmod(fd.get(), mode_) == 0 ? 0 : errno;
  for (size_t done = 0; err == 0 && done < bytes.size();) {
    ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno != EINTR) err = errno;
    if (n > 0) done += static_cast<size_t>(n);
  }
  if (!fd.close() && err == 0) err = errno;
  if (err != 0) {
    ::unlink(tmp.c_str());
    return FileSystem::errorFromErrno(err, "cannot write " + tmp);
  }
  pending_.push_back({std::move(tmp), destination});
  return Status::Ok();
}

Status AtomicFileBatch::flushAll() {
#ifdef __linux__
  // One sync of each file system holding temporaries instead of one per file.
  std::set<dev_t> devices;
  for (const auto& p : pending_) {
    if (p.temporary.empty()) continue;
    struct stat st {};
    if (::stat(p.temporary.c_str(), &st) != 0) {
      return FileSystem::errorFromErrno(errno, "cannot stat " + p.temporary);
    }
    if (!devices.insert(st.st_dev).second) continue;
    if (Status synced = syncPath(p.temporary, true); !synced) return synced;
  }
#else
  for (const auto& p : pending_) {
    if (p.temporary.empty()) continue;
    if (Status synced = syncPath(p.temporary, false); !synced) return synced;
  }
#endif
  return Status::Ok();
}

Status AtomicFileBatch::commit() {
  Status result = flushAll();
  std::set<std::string> folders;
  size_t renamed = 0;
  for (; result && renamed < pending_.size(); ++renamed) {
    const Pending& p = pending_[renamed];
    if (!p.temporary.empty() && ::rename(p.temporary.c_str(), p.destination.c_str()) != 0) {
      result = FileSystem::errorFromErrno(errno, "cannot replace " + p.destination.string());
      break;
    }
    folders.insert(folderOf(p.destination));
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(renamed));
  discard();
  // The renames made so far are kept durable even when a later one failed.
  for (const auto& folder : folders) {
    if (Status synced = syncPath(folder, false); !synced && result) result = synced;
  }
  return result;
}

void AtomicFileBatch::discard() {
  for (const auto& p : pending_) {
    if (!p.temporary.empty()) ::unlink(p.temporary.c_str());
  }
  pending_.clear();
}

}  // namespace vexa
