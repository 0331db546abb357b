// The applications the service knows and the access tokens it issued.
//
// A token is issued for a valid appid/secret pair and stays valid until its
// lifetime passes, until it has been used the configured number of times
// (a test switch; unlimited by default), or until expireAll(). Thread-safe:
// every request thread of the server uses it.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace vexa::service {

class TokenRegistry {
 public:
  using Clock = std::chrono::steady_clock;

  explicit TokenRegistry(std::chrono::seconds lifetime = std::chrono::hours(2));

  // Adds or replaces an application.
  void addApp(const std::string& appId, const std::string& secret);
  bool checkCredentials(const std::string& appId, const std::string& secret) const;

  // A fresh random token for the application.
  std::string issue(const std::string& appId);
  // Counts one use of the token and returns its application, or none when
  // the token is unknown or expired (a refused use does not count).
  std::optional<std::string> use(const std::string& token);

  // Tokens refuse their use after this many successful ones; none: unlimited.
  // Applies to tokens already issued as well.
  void setUsesBeforeExpiry(std::optional<int64_t> uses);
  // Expires every token issued so far.
  void expireAll();
  std::chrono::seconds lifetime() const { return lifetime_; }
  // How many tokens were issued since the start.
  int64_t issuedCount() const;

 private:
  struct Token {
    std::string appId;
    Clock::time_point expiry;
    int64_t uses = 0;
  };

  const std::chrono::seconds lifetime_;
  mutable std::mutex mutex_;
  std::map<std::string, std::string> apps_;  // GUARDED_BY(mutex_)
  std::map<std::string, Token> tokens_;      // GUARDED_BY(mutex_)
  std::optional<int64_t> usesBeforeExpiry_;  // GUARDED_BY(mutex_)
  int64_t issued_ = 0;                       // GUARDED_BY(mutex_)
};

}  // namespace vexa::service
