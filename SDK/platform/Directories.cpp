#include "vexa/platform/Directories.h"

#include <cstdlib>
#include <mutex>

namespace vexa {
namespace {

std::mutex& rootMutex() {
  static std::mutex m;
  return m;
}

std::optional<std::filesystem::path>& explicitRoot() {
  static std::optional<std::filesystem::path> r;
  return r;
}

std::filesystem::path envOr(const char* name, const char* homeRelative) {
  if (const char* v = std::getenv(name); v && *v) return v;
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : "/tmp") / homeRelative;
}

}  // namespace

void Directories::setRoot(std::optional<std::filesystem::path> root) {
  std::lock_guard<std::mutex> lock(rootMutex());
  explicitRoot() = std::move(root);
}

std::optional<std::filesystem::path> Directories::root() {
  {
    std::lock_guard<std::mutex> lock(rootMutex());
    if (explicitRoot()) return explicitRoot();
  }
  if (const char* v = std::getenv("VEXA_HOME"); v && *v) return std::filesystem::path(v);
  return std::nullopt;
}

std::filesystem::path Directories::applicationSupport() {
  if (auto r = root()) return *r / "ApplicationSupport";
  return envOr("XDG_DATA_HOME", ".local/share") / "vexa";
}

std::filesystem::path Directories::caches() {
  if (auto r = root()) return *r / "Caches";
  return envOr("XDG_CACHE_HOME", ".cache") / "vexa";
}

std::filesystem::path Directories::preferences() {
  if (auto r = root()) return *r / "Preferences";
  return envOr("XDG_CONFIG_HOME", ".config") / "vexa";
}

std::filesystem::path Directories::keychain() {
  if (auto r = root()) return *r / "Keychain";
  return envOr("XDG_DATA_HOME", ".local/share") / "vexa" / "Keychain";
}

}  // namespace vexa
