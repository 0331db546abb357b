#include "vexa/platform/Directories.h"

#include <mutex>

#include "vexa/platform/Environment.h"

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
  if (auto v = Environment::nonEmpty(name)) return *v;
  return std::filesystem::path(Environment::nonEmpty("HOME").value_or("/tmp")) / homeRelative;
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
  if (auto v = Environment::nonEmpty("VEXA_HOME")) return std::filesystem::path(*v);
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
