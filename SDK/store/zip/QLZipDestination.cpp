#include "vexa/store/zip/QLZipDestination.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "vexa/platform/FileSystem.h"
#include "vexa/store/zip/QLZipError.h"

namespace vexa {

namespace {

std::string joined(const std::vector<std::string>& path, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i) out += '/';
    out += path[i];
  }
  return out;
}

Error writeError(int err, const std::string& what) {
  return QLZipError::make(QLZipError::kWriteFailed, what + ": " + std::strerror(err));
}

}  // namespace

Result<QLZipDestination> QLZipDestination::open(const std::filesystem::path& directory) {
  if (auto made = FileSystem::createDirectories(directory); !made) {
    return QLZipError::make(QLZipError::kWriteFailed, made.error().description());
  }
  FileHandle fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return writeError(errno, "Cannot open " + directory.string());
  return QLZipDestination(directory, std::move(fd));
}

Result<int> QLZipDestination::directory(const std::vector<std::string>& path, size_t count,
                                        bool create) {
  if (count == 0) return rootFd_.get();
  if (cachedFd_.valid() && cachedPath_.size() == count &&
      std::equal(cachedPath_.begin(), cachedPath_.end(), path.begin())) {
    return cachedFd_.get();
  }
  cachedFd_.reset();
  cachedPath_.clear();

  FileHandle current;
  int parent = rootFd_.get();
  for (size_t i = 0; i < count; ++i) {
    const char* name = path[i].c_str();
    if (create && ::mkdirat(parent, name, 0755) != 0 && errno != EEXIST) {
      return writeError(errno, "Cannot create directory " + joined(path, i + 1));
    }
    FileHandle next(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next.valid()) {
      int err = errno;
      struct stat st {};
      if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
        return QLZipError::make(QLZipError::kLinkInPath,
                                "Refused to write through a link: " + joined(path, i + 1));
      }
      return writeError(err, "Cannot open directory " + joined(path, i + 1));
    }
    current = std::move(next);
    parent = current.get();
  }
  cachedPath_.assign(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(count));
  cachedFd_ = std::move(current);
  return cachedFd_.get();
}

Status QLZipDestination::makeDirectories(const std::vector<std::string>& path) {
  auto fd = directory(path, path.size(), true);
  if (!fd) return fd.error();
  return Status::Ok();
}

Result<QLZipDestination::Existing> QLZipDestination::prepareFile(
    const std::vector<std::string>& path) {
  auto parent = directory(path, path.size() - 1, true);
  if (!parent) return parent.error();
  struct stat st {};
  if (::fstatat(*parent, path.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return Existing::None;
    return writeError(errno, "Cannot inspect " + joined(path, path.size()));
  }
  if (S_ISREG(st.st_mode)) return Existing::File;
  if (S_ISDIR(st.st_mode)) return Existing::Directory;
  if (S_ISLNK(st.st_mode)) return Existing::Link;
  return Existing::Other;
}

Result<FileHandle> QLZipDestination::replaceFile(const std::vector<std::string>& path) {
  auto parent = directory(path, path.size() - 1, true);
  if (!parent) return parent.error();
  const char* name = path.back().c_str();
  // A new inode: writing into an existing one would reach every other name
  // (hard link) or the target (symbolic link) it has.
  if (::unlinkat(*parent, name, 0) != 0 && errno != ENOENT) {
    return writeError(errno, "Cannot replace " + joined(path, path.size()));
  }
  FileHandle fd(
      ::openat(*parent, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (!fd.valid()) return writeError(errno, "Cannot create " + joined(path, path.size()));
  return fd;
}

void QLZipDestination::removeFile(const std::vector<std::string>& path) {
  auto parent = directory(path, path.size() - 1, false);
  if (parent) ::unlinkat(*parent, path.back().c_str(), 0);
}

}  // namespace vexa
