// The directory that archive entries are written into.
//
// Everything below the destination is reached through directory
// descriptors opened without following links, so an entry is never written
// through a symbolic link, whatever the directory already holds: a link
// where a directory is needed is refused, a link (or hard link) where the
// file goes is replaced by a new file. One thread at a time.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "vexa/platform/FileHandle.h"
#include "vexa/platform/Result.h"

namespace vexa {

class QLZipDestination {
 public:
  enum class Existing { None, File, Directory, Link, Other };

  // Opens the destination, creating it and its parents when missing.
  static Result<QLZipDestination> open(const std::filesystem::path& directory);

  // Creates the directories of `path` (components below the destination).
  Status makeDirectories(const std::vector<std::string>& path);
  // Creates the parent directories of the file `path` and tells what its
  // last component names now.
  Result<Existing> prepareFile(const std::vector<std::string>& path);
  // Removes whatever non-directory stands at `path` and creates a new empty
  // file there (mode 0644) for writing. Call prepareFile() first.
  Result<FileHandle> replaceFile(const std::vector<std::string>& path);
  // Removes the file at `path`, if any; for clean-up after a failed entry.
  void removeFile(const std::vector<std::string>& path);

  const std::filesystem::path& path() const { return root_; }

 private:
  QLZipDestination(std::filesystem::path root, FileHandle fd)
      : root_(std::move(root)), rootFd_(std::move(fd)) {}
  // The descriptor of the directory made of the first `count` components,
  // created on the way when `create`; valid until the next call.
  Result<int> directory(const std::vector<std::string>& path, size_t count, bool create);

  std::filesystem::path root_;
  FileHandle rootFd_;
  // The last directory reached, kept so that entries of one folder do not
  // walk the tree again (archives list a folder's files together).
  std::vector<std::string> cachedPath_;
  FileHandle cachedFd_;
};

}  // namespace vexa
