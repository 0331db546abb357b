#include "service/TokenRegistry.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <random>

namespace vexa::service {

namespace {

std::string randomHex(size_t bytes) {
  std::string raw(bytes, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(raw.data()), static_cast<int>(bytes)) != 1) {
    std::random_device device;
    for (auto& c : raw) c = static_cast<char>(device());
  }
  static const char* const kDigits = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : raw) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

// Compares secrets without leaking how much of them matched.
bool sameSecret(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

TokenRegistry::TokenRegistry(std::chrono::seconds lifetime) : lifetime_(lifetime) {}

void TokenRegistry::addApp(const std::string& appId, const std::string& secret) {
  std::lock_guard lock(mutex_);
  apps_[appId] = secret;
}

bool TokenRegistry::checkCredentials(const std::string& appId, const std::string& secret) const {
  std::lock_guard lock(mutex_);
  auto it = apps_.find(appId);
  return it != apps_.end() && sameSecret(it->second, secret);
}

std::string TokenRegistry::issue(const std::string& appId) {
  std::string token = randomHex(16);
  auto now = Clock::now();
  std::lock_guard lock(mutex_);
  // Expired tokens are forgotten so that a long-running service stays small.
  std::erase_if(tokens_, [now](const auto& entry) { return entry.second.expiry <= now; });
  tokens_[token] = Token{appId, now + lifetime_, 0};
  ++issued_;
  return token;
}

std::optional<std::string> TokenRegistry::use(const std::string& token) {
  std::lock_guard lock(mutex_);
  auto it = tokens_.find(token);
  if (it == tokens_.end()) return std::nullopt;
  Token& t = it->second;
  if (Clock::now() >= t.expiry || (usesBeforeExpiry_ && t.uses >= *usesBeforeExpiry_)) {
    return std::nullopt;
  }
  ++t.uses;
  return t.appId;
}

void TokenRegistry::setUsesBeforeExpiry(std::optional<int64_t> uses) {
  std::lock_guard lock(mutex_);
  usesBeforeExpiry_ = uses;
}

void TokenRegistry::expireAll() {
  std::lock_guard lock(mutex_);
  tokens_.clear();
}

int64_t TokenRegistry::issuedCount() const {
  std::lock_guard lock(mutex_);
  return issued_;
}

}  // namespace vexa::service
