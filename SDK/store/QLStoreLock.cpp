#include "vexa/store/QLStoreLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "vexa/platform/FileSystem.h"

namespace vexa {

QLStoreLock::~QLStoreLock() {
  if (fd_ >= 0) ::close(fd_);
}

Result<QLStoreLock::Guard> QLStoreLock::acquire() {
  if (depth_ > 0) {
    ++depth_;
    return Guard(this);
  }
  if (fd_ < 0) {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0) return FileSystem::errorFromErrno(errno, "cannot lock " + path_.string());
  }
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) return FileSystem::errorFromErrno(errno, "cannot lock " + path_.string());
  }
  depth_ = 1;
  return Guard(this);
}

void QLStoreLock::release() {
  if (--depth_ == 0) ::flock(fd_, LOCK_UN);
}

}  // namespace vexa
