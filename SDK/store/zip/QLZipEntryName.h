// Where an archive entry's name puts it below the destination directory.
//
// Entry names come from outside: they are decoded as UTF-8, "\" counts as a
// separator, and the name is resolved component by component. A name that
// is absolute ("/x", "//x"), carries a drive ("C:x"), climbs out of the
// destination ("../x", "a/../../x"), holds a NUL or is not UTF-8 is refused,
// and so is one longer or deeper than the caps below: a path that outgrows
// the system's limit once joined below the destination would fail, or throw,
// in whatever touches it later.
// The result never contains "", "." or ".." components, so joining it below
// the destination cannot leave it. Pure value type; any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/Result.h"

namespace vexa {

class QLZipEntryName {
 public:
  static constexpr size_t kMaxNameBytes = 1024;
  static constexpr size_t kMaxComponentBytes = 255;
  static constexpr size_t kMaxDepth = 32;

  // Resolves a raw entry name. Errors carry QLZipError::kUnsafeName.
  static Result<QLZipEntryName> resolve(std::string_view raw);

  // The name as the archive gives it, with "\" turned into "/".
  const std::string& name() const { return name_; }
  // The path below the destination; empty for a directory entry that names
  // the destination itself ("./").
  const std::vector<std::string>& components() const { return components_; }
  // A directory entry: its raw name ends in "/" or "\".
  bool isDirectory() const { return isDirectory_; }
  // The components joined with "/".
  std::string relativePath() const;

 private:
  QLZipEntryName() = default;
  std::string name_;
  std::vector<std::string> components_;
  bool isDirectory_ = false;
};

}  // namespace vexa
