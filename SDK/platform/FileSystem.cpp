#include "vexa/platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

namespace vexa {

const char* const FileSystem::kErrorDomain = "VXFileErrorDomain";

Error FileSystem::errorFromErrno(int err, const std::string& what) {
  return Error(kErrorDomain, err, what + ": " + std::strerror(err));
}

namespace {

std::string temporarySibling(const std::filesystem::path& path) {
  static std::atomic<uint64_t> counter{0};
  thread_local std::mt19937_64 rng{std::random_device{}()};
  return path.string() + ".tmp." + std::to_string(::getpid()) + "." +
         std::to_string(counter.fetch_add(1)) + "." + std::to_string(rng() & 0xFFFFFF);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace

Status FileSystem::writeAtomically(const std::filesystem::path& path, std::string_view bytes,
                                   unsigned mode) {
  const std::string tmp = temporarySibling(path);
  FileDescriptor fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
  if (fd.get() < 0) return errorFromErrno(errno, "cannot create " + tmp);
  // O_CREAT's mode is filtered by the umask; private files must stay private.
  if (::fchmod(fd.get(), mode) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return errorFromErrno(err, "cannot set mode of " + tmp);
  }
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::unlink(tmp.c_str());
      return errorFromErrno(err, "cannot write " + tmp);
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd.get()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return errorFromErrno(err, "cannot flush " + tmp);
  }
  if (::close(fd.release()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return errorFromErrno(err, "cannot close " + tmp);
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return errorFromErrno(err, "cannot replace " + path.string());
  }
  // Make the rename itself durable.
  std::string dir = path.has_parent_path() ? path.parent_path().string() : ".";
  FileDescriptor dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dirFd.get() >= 0) ::fsync(dirFd.get());
  return Status::Ok();
}

Result<std::string> FileSystem::readFile(const std::filesystem::path& path, size_t maxBytes) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errorFromErrno(errno, "cannot open " + path.string());
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return errorFromErrno(errno, "cannot stat " + path.string());
  if (!S_ISREG(st.st_mode)) return errorFromErrno(EISDIR, path.string() + " is no regular file");
  if (static_cast<uint64_t>(st.st_size) > maxBytes) {
    return errorFromErrno(EFBIG, path.string() + " is larger than " + std::to_string(maxBytes) +
                                     " bytes");
  }
  std::string out;
  out.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errorFromErrno(errno, "cannot read " + path.string());
    }
    if (n == 0) break;
    if (out.size() + static_cast<size_t>(n) > maxBytes) {
      return errorFromErrno(EFBIG, path.string() + " grew past " + std::to_string(maxBytes) +
                                       " bytes");
    }
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

Status FileSystem::createDirectories(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) return Error(kErrorDomain, ec.value(), "cannot create " + path.string() + ": " + ec.message());
  return Status::Ok();
}

}  // namespace vexa
