// A resource bundle: a directory of resources (pictures and the like) and
// string tables ("<table>.strings", see StringsTable).
//
// Tables are read on first use and kept; a table that is missing or
// malformed reads as empty, so every lookup falls back to its default.
// Thread-safe.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "vexa/platform/Result.h"
#include "vexa/platform/StringsTable.h"

namespace vexa {

class ResourceBundle {
 public:
  // The bundle at a directory; an error when there is no directory there.
  static Result<std::shared_ptr<ResourceBundle>> open(const std::filesystem::path& directory);

  const std::filesystem::path& resourcePath() const { return path_; }

  // The file "<name>.<type>" of the bundle, or none when it does not exist.
  std::optional<std::filesystem::path> pathForResource(const std::string& name,
                                                       const std::string& type) const;

  // The table's text for the key. When the table has none: `value` when it
  // is not empty, else the key itself.
  std::string localizedStringForKey(const std::string& key, const std::string& value,
                                    const std::string& table) const;

 private:
  explicit ResourceBundle(std::filesystem::path path) : path_(std::move(path)) {}
  const StringsTable::Entries& tableLocked(const std::string& table) const;

  const std::filesystem::path path_;
  mutable std::mutex mutex_;
  mutable std::map<std::string, StringsTable::Entries> tables_;  // GUARDED_BY(mutex_)
};

}  // namespace vexa
