#include "vexa/http/QLDownloadFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "vexa/http/QLHTTPError.h"

namespace vexa {
namespace {

Error fileError(int64_t code, const std::string& what, int err) {
  return qlURLError(code, what + ": " + std::strerror(err));
}

}  // namespace

QLDownloadFile::QLDownloadFile(std::filesystem::path destination)
    : destination_(std::move(destination)) {}

QLDownloadFile::~QLDownloadFile() { discard(); }

Status QLDownloadFile::open() {
  discard();
  std::string pattern = destination_.string() + ".download-XXXXXX";
  int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    return fileError(kQLURLErrorCannotCreateFile, "Cannot create " + pattern, errno);
  }
  // mkstemp makes the file 0600; downloads are ordinary files.
  ::fchmod(fd, 0644);
  fd_ = fd;
  temporary_ = pattern;
  return Status::Ok();
}

Status QLDownloadFile::write(std::string_view bytes) {
  if (fd_ < 0) return qlURLError(kQLURLErrorCannotWriteToFile, "The download file is not open");
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return fileError(kQLURLErrorCannotWriteToFile, "Cannot write " + temporary_.string(), errno);
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return Status::Ok();
}

Status QLDownloadFile::commit() {
  if (fd_ < 0) {
    // Nothing arrived (an empty body): the result is an empty file.
    Status opened = open();
    if (!opened) return opened;
  }
  if (::fsync(fd_) != 0) {
    int err = errno;
    discard();
    return fileError(kQLURLErrorCannotWriteToFile, "Cannot flush " + destination_.string(), err);
  }
  ::close(fd_);
  fd_ = -1;
  if (::rename(temporary_.c_str(), destination_.c_str()) != 0) {
    int err = errno;
    discard();
    return fileError(kQLURLErrorCannotWriteToFile, "Cannot move the download to " + destination_.string(), err);
  }
  temporary_.clear();
  return Status::Ok();
}

void QLDownloadFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace vexa
