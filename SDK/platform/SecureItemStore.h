// Generic password items by service and account, the stand-in of the
// platform keychain. Items live in one property-list file per service under
// Directories::keychain(), readable by the owner only (mode 0600 in a 0700
// directory). Thread-safe.
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "vexa/platform/Result.h"

namespace vexa {

class SecureItemStore {
 public:
  static SecureItemStore& shared();
  // A store rooted elsewhere (tests).
  explicit SecureItemStore(std::optional<std::filesystem::path> directory = std::nullopt);

  // The password of the item, or none when there is no such item.
  std::optional<std::string> password(const std::string& service, const std::string& account);
  // Adds or replaces the item.
  Status setPassword(const std::string& service, const std::string& account,
                     const std::string& password);
  Status remove(const std::string& service, const std::string& account);

  std::filesystem::path fileFor(const std::string& service) const;

 private:
  std::filesystem::path directory() const;

  const std::optional<std::filesystem::path> directory_;
  std::mutex mutex_;
};

}  // namespace vexa
