#include "vexa/platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "vexa/platform/FileSystem.h"

namespace vexa {

AtomicFile::AtomicFile(std::filesystem::path destination, unsigned mode)
    : destination_(std::move(destination)), mode_(mode) {}

AtomicFile::~AtomicFile() { discard(); }

Status AtomicFile::open() {
  discard();
  // The writer's process id in the name tells a start-up sweep whose it is.
  std::string pattern = destination_.string() + ".tmp." + std::to_string(::getpid()) + ".XXXXXX";
  FileHandle fd(::mkostemp(pattern.data(), O_CLOEXEC));
  if (!fd.valid()) return FileSystem::errorFromErrno(errno, "cannot create " + pattern);
  // mkostemp makes the file 0600; the finished file gets its own mode.
  if (::fchmod(fd.get(), mode_) != 0) {
    int err = errno;
    ::unlink(pattern.c_str());
    return FileSystem::errorFromErrno(err, "cannot set mode of " + pattern);
  }
  fd_ = std::move(fd);
  temporary_ = pattern;
  return Status::Ok();
}

Status AtomicFile::write(std::string_view bytes) {
  if (!fd_.valid()) {
    if (Status opened = open(); !opened) return opened;
  }
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileSystem::errorFromErrno(errno, "cannot write " + temporary_.string());
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return Status::Ok();
}

Status AtomicFile::commit() {
  if (!fd_.valid() && temporary_.empty()) {
    if (Status opened = open(); !opened) return opened;
  }
  // A temporary closed unflushed is flushed through a handle of its own.
  FileHandle reopened(fd_.valid() ? -1 : ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC));
  const int fd = fd_.valid() ? fd_.get() : reopened.get();
  if (fd < 0 || ::fsync(fd) != 0) {
    const int err = errno;
    const std::string what = "cannot flush " + temporary_.string();
    discard();
    return FileSystem::errorFromErrno(err, what);
  }
  if (Status placed = place(); !placed) return placed;
  flushFolderOf(destination_);
  return Status::Ok();
}

Status AtomicFile::close() {
  if (!fd_.valid() && temporary_.empty()) {
    if (Status opened = open(); !opened) return opened;
  }
  if (fd_.valid() && !fd_.close()) {
    const int err = errno;
    const std::string what = "cannot close " + temporary_.string();
    discard();
    return FileSystem::errorFromErrno(err, what);
  }
  return Status::Ok();
}

Status AtomicFile::place() {
  // Nothing written, or a failed close: no file to put in place.
  if (temporary_.empty()) {
    return FileSystem::errorFromErrno(ENOENT, "nothing to place at " + destination_.string());
  }
  if (Status closed = close(); !closed) return closed;
  if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
    const int err = errno;
    discard();
    return FileSystem::errorFromErrno(err, "cannot replace " + destination_.string());
  }
  temporary_.clear();
  return Status::Ok();
}

void AtomicFile::flushFolderOf(const std::filesystem::path& destination) {
  const std::filesystem::path folder =
      destination.has_parent_path() ? destination.parent_path() : std::filesystem::path(".");
  FileHandle dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

void AtomicFile::discard() {
  fd_.reset();
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace vexa
