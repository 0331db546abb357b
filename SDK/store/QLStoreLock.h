// The advisory lock that serialises the store's read-modify-write of its
// lists and records across processes: an flock on a file in the store's
// folder, held while the lists are re-read, changed and written with the
// records they name, and never across network work.
//
// Reentrant within one object (the store takes it again while it holds it,
// for example to repair a list it re-reads); one thread at a time, the
// store's main thread. Two objects over one file, in one process or two,
// exclude each other.
#pragma once

#include <filesystem>

#include "vexa/platform/Result.h"

namespace vexa {

class QLStoreLock {
 public:
  explicit QLStoreLock(std::filesystem::path path) : path_(std::move(path)) {}
  ~QLStoreLock();
  QLStoreLock(const QLStoreLock&) = delete;
  QLStoreLock& operator=(const QLStoreLock&) = delete;

  // Holds the lock until it goes away.
  class Guard {
   public:
    explicit Guard(QLStoreLock* lock) : lock_(lock) {}
    Guard(Guard&& other) noexcept : lock_(other.lock_) { other.lock_ = nullptr; }
    Guard& operator=(Guard&&) = delete;
    Guard(const Guard&) = delete;
    ~Guard() {
      if (lock_) lock_->release();
    }

   private:
    QLStoreLock* lock_;
  };

  // Waits until the lock is held. An error when the lock file cannot be
  // opened or created: a store that cannot be written.
  Result<Guard> acquire();
  bool held() const { return depth_ > 0; }

 private:
  void release();

  std::filesystem::path path_;
  int fd_ = -1;
  int depth_ = 0;
};

}  // namespace vexa
