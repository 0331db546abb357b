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
  if (!fd_.valid()) {
    if (Status opened = open(); !opened) return opened;
  }
  auto fail = [this](int err, const std::string& what) {
    discard();
    return FileSystem::errorFromErrno(err, what);
  };
  if (::fsync(fd_.get()) != 0) return fail(errno, "cannot flush " + temporary_.string());
  if (!fd_.close()) return fail(errno, "cannot close " + temporary_.string());
  if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
    return fail(errno, "cannot replace " + destination_.string());
  }
  temporary_.clear();
  // The rename lives in the folder: flush it too, or a crash may undo it.
  // The file is in place by now, so a folder that cannot be flushed (some
  // file systems refuse) does not turn the write into a failure.
  const std::filesystem::path folder =
      destination_.has_parent_path() ? destination_.parent_path() : std::filesystem::path(".");
  FileHandle dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
  return Status::Ok();
}

void AtomicFile::discard() {
  fd_.reset();
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace vexa
