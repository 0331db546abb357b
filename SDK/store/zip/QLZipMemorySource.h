// Archive bytes held in memory, handed to minizip as its file functions, so
// that an archive already in memory is read without a file and without a
// system call per header.
//
// The source must outlive the minizip reader opened over it. Read-only;
// one reader at a time.
#pragma once

#include <cstdint>
#include <string>

struct zlib_filefunc64_def_s;

namespace vexa {

class QLZipMemorySource {
 public:
  explicit QLZipMemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
  QLZipMemorySource(const QLZipMemorySource&) = delete;
  QLZipMemorySource& operator=(const QLZipMemorySource&) = delete;

  // Fills minizip's file functions with ones reading these bytes.
  void fill(zlib_filefunc64_def_s& functions) const;

  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace vexa
