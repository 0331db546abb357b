#include "vexa/platform/ResourceBundle.h"

#include "vexa/platform/FileSystem.h"

namespace vexa {

Result<std::shared_ptr<ResourceBundle>> ResourceBundle::open(const std::filesystem::path& directory) {
  std::error_code ec;
  if (!std::filesystem::is_directory(directory, ec)) {
    return FileSystem::errorFromErrno(ENOENT, "no resource bundle at " + directory.string());
  }
  return std::shared_ptr<ResourceBundle>(new ResourceBundle(directory));
}

std::optional<std::filesystem::path> ResourceBundle::pathForResource(const std::string& name,
                                                                     const std::string& type) const {
  // Names come from the SDK's own code, but a path separator would leave the bundle.
  if (name.empty() || name.find('/') != std::string::npos || type.find('/') != std::string::npos) {
    return std::nullopt;
  }
  auto file = path_ / (type.empty() ? name : name + "." + type);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  return file;
}

const StringsTable::Entries& ResourceBundle::tableLocked(const std::string& table) const {
  auto it = tables_.find(table);
  if (it != tables_.end()) return it->second;
  StringsTable::Entries entries;
  if (table.find('/') == std::string::npos) {
    // A table file is small; a huge one is not ours.
    if (auto text = FileSystem::readFile(path_ / (table + ".strings"), 4u << 20)) {
      if (auto parsed = StringsTable::parse(*text)) entries = std::move(*parsed);
    }
  }
  return tables_.emplace(table, std::move(entries)).first->second;
}

std::string ResourceBundle::localizedStringForKey(const std::string& key, const std::string& value,
                                                  const std::string& table) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto& entries = tableLocked(table);
  auto it = entries.find(key);
  if (it != entries.end()) return it->second;
  return value.empty() ? key : value;
}

}  // namespace vexa
