// An owned POSIX file descriptor, closed when the handle goes away.
// Movable, not copyable; -1 means "none".
#pragma once

#include <unistd.h>

#include <utility>

namespace vexa {

class QLFileHandle {
 public:
  QLFileHandle() = default;
  explicit QLFileHandle(int fd) : fd_(fd) {}
  QLFileHandle(QLFileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  QLFileHandle& operator=(QLFileHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.fd_, -1));
    return *this;
  }
  QLFileHandle(const QLFileHandle&) = delete;
  QLFileHandle& operator=(const QLFileHandle&) = delete;
  ~QLFileHandle() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now and reports whether the close succeeded (a failed close may
  // mean lost writes).
  bool close() {
    int fd = std::exchange(fd_, -1);
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_ = -1;
};

}  // namespace vexa
