#include "vexa/platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "vexa/platform/AtomicFile.h"
#include "vexa/platform/FileHandle.h"

namespace vexa {

const char* const FileSystem::kErrorDomain = "VXFileErrorDomain";

Error FileSystem::errorFromErrno(int err, const std::string& what) {
  return Error(kErrorDomain, err, what + ": " + std::strerror(err));
}

Status FileSystem::writeAtomically(const std::filesystem::path& path, std::string_view bytes,
                                   unsigned mode) {
  AtomicFile file(path, mode);
  if (Status written = file.write(bytes); !written) return written;
  return file.commit();
}

Result<std::string> FileSystem::readFile(const std::filesystem::path& path, size_t maxBytes) {
  FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
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

bool FileSystem::holds(const std::filesystem::path& path, std::string_view bytes) {
  FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<uint64_t>(st.st_size) != bytes.size()) {
    return false;
  }
  char buf[65536];
  size_t at = 0;
  for (;;) {
    ssize_t n = ::read(fd.get(), buf, std::min(sizeof buf, bytes.size() - at + 1));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0 && at == bytes.size();
    const size_t got = static_cast<size_t>(n);
    if (got > bytes.size() - at || std::memcmp(buf, bytes.data() + at, got) != 0) return false;
    at += got;
  }
}

Result<std::string> FileSystem::readPrefix(const std::filesystem::path& path, size_t maxBytes) {
  FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errorFromErrno(errno, "cannot open " + path.string());
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return errorFromErrno(errno, "cannot stat " + path.string());
  if (!S_ISREG(st.st_mode)) return errorFromErrno(EISDIR, path.string() + " is no regular file");
  std::string out(std::min<uint64_t>(maxBytes, static_cast<uint64_t>(st.st_size)), '\0');
  size_t filled = 0;
  while (filled < out.size()) {
    ssize_t n = ::read(fd.get(), out.data() + filled, out.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errorFromErrno(errno, "cannot read " + path.string());
    }
    if (n == 0) break;
    filled += static_cast<size_t>(n);
  }
  out.resize(filled);
  return out;
}

Status FileSystem::createDirectories(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) return Error(kErrorDomain, ec.value(), "cannot create " + path.string() + ": " + ec.message());
  return Status::Ok();
}

}  // namespace vexa
