// One file of temporary emojis: emojis looked up by code whose package is
// not installed, kept as a property-list array of their keyValues. The
// first record saved for a code wins.
//
// A missing file counts as empty. A file that exists but cannot be read is
// left alone by save and remove (which report the error), so nothing stored
// is lost to a passing read failure. Not locked: one thread at a time.
#pragma once

#include <filesystem>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "vexa/platform/Result.h"
#include "vexa/store/QLEmoji.h"

namespace vexa {

class QLTempEmojiFile {
 public:
  explicit QLTempEmojiFile(std::filesystem::path path) : path_(std::move(path)) {}

  // Appends the emoji unless one with its code is already there.
  Status save(const QLEmoji& emoji);
  // Removes every record with the emoji's guid; a missing file stays missing.
  Status remove(const QLEmoji& emoji);
  // The first record with the code, or nullptr.
  std::shared_ptr<QLEmoji> emojiWithCode(std::string_view code) const;
  // Writes an empty list.
  Status clear();

  const std::filesystem::path& path() const { return path_; }

 private:
  using Records = std::shared_ptr<const Value::Array>;
  // Identifies one version of the file; atomic writes give each a new inode.
  struct Version {
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNanoseconds = 0;
    bool operator==(const Version&) const = default;
  };

  // The stored records (empty when the file is missing), parsed again only
  // when the file changed: a message's codes are looked up here one by one.
  Result<Records> read() const;
  static std::optional<Version> versionOf(const std::filesystem::path& path);
  Status write(Value::Array records);

  std::filesystem::path path_;
  mutable std::optional<Version> cachedVersion_;
  mutable Records cached_;
};

}  // namespace vexa
