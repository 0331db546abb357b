#include "vexa/platform/AtomicFileBatch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>

#include "vexa/platform/FileHandle.h"
#include "vexa/platform/FileSystem.h"

namespace vexa {

Status AtomicFileBatch::add(const std::filesystem::path& destination, std::string_view bytes) {
  if (FileSystem::holds(destination, bytes)) {
    unchanged_.push_back(destination);
    return Status::Ok();
  }
  auto file = std::make_unique<AtomicFile>(destination, mode_);
  if (Status opened = file->open(); !opened) return opened;
  if (Status written = file->write(bytes); !written) return written;
  if (Status closed = file->close(); !closed) return closed;
  files_.push_back(std::move(file));
  return Status::Ok();
}

Status AtomicFileBatch::flushAll() const {
  // One sync of each file system holding temporaries instead of one per
  // file where the system has it; elsewhere each file is flushed.
  std::set<dev_t> devices;
  for (const auto& file : files_) {
    const std::filesystem::path& path = file->temporary();
    FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0) {
      return FileSystem::errorFromErrno(errno, "cannot open " + path.string());
    }
#ifdef __linux__
    if (!devices.insert(st.st_dev).second) continue;
    const int rc = ::syncfs(fd.get());
#else
    const int rc = ::fsync(fd.get());
#endif
    if (rc != 0) return FileSystem::errorFromErrno(errno, "cannot flush " + path.string());
  }
  return Status::Ok();
}

Status AtomicFileBatch::commit() {
  Status result = flushAll();
  std::set<std::filesystem::path> placed(unchanged_.begin(), unchanged_.end());
  for (const auto& file : files_) {
    if (!result) break;  // the rest are discarded with the batch
    result = file->place();
    if (result) placed.insert(file->destination());
  }
  files_.clear();
  unchanged_.clear();
  // Each folder once; the renames made so far stay durable even when a
  // later one failed.
  std::set<std::filesystem::path> folders;
  for (const auto& destination : placed) {
    if (folders.insert(destination.parent_path()).second) AtomicFile::flushFolderOf(destination);
  }
  return result;
}

}  // namespace vexa
