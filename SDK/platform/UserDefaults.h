// Persistent settings of the SDK: a dictionary kept in a property-list file
// ("<preferences>/com.tarvel.vexa.plist"). Reads and writes go to memory;
// synchronize() writes the file atomically. Thread-safe.
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class UserDefaults {
 public:
  // The defaults of the current Directories::preferences().
  static UserDefaults& standard();

  // A store over a file of one's own (tests, tools). Loads it lazily; an
  // unreadable file counts as empty and is only replaced on synchronize().
  explicit UserDefaults(std::filesystem::path file);

  UserDefaults(const UserDefaults&) = delete;
  UserDefaults& operator=(const UserDefaults&) = delete;

  std::optional<Value> objectForKey(const std::string& key) const;
  std::optional<std::string> stringForKey(const std::string& key) const;
  // The number under the key (strings holding numbers count), else 0.
  int64_t integerForKey(const std::string& key) const;
  double doubleForKey(const std::string& key) const;

  void setObject(const std::string& key, Value value);
  void removeObject(const std::string& key);

  // Writes the settings to their file if anything changed.
  Status synchronize();
  // Drops what is in memory, so that the next read loads the file again.
  void reload();

  const std::filesystem::path& file() const { return file_; }

 private:
  void loadLocked() const;

  const std::filesystem::path file_;
  mutable std::mutex mutex_;
  mutable bool loaded_ = false;               // GUARDED_BY(mutex_)
  mutable Value::Dictionary values_;          // GUARDED_BY(mutex_)
  bool dirty_ = false;                        // GUARDED_BY(mutex_)
};

}  // namespace vexa
