#include "vexa/store/QLStoreLeftovers.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <string>
#include <vector>

namespace vexa {

namespace {

bool allDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<pid_t> pidOf(std::string_view digits) {
  pid_t pid = 0;
  auto [stop, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
  if (ec != std::errc() || stop != digits.data() + digits.size() || pid <= 0) return std::nullopt;
  return pid;
}

// The parts of `text` between dots.
std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (size_t at; (at = text.find(separator)) != std::string_view::npos; text.remove_prefix(at + 1)) {
    parts.push_back(text.substr(0, at));
  }
  parts.push_back(text);
  return parts;
}

bool isRunning(pid_t pid) {
  if (pid == ::getpid()) return true;
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace

std::optional<pid_t> QLStoreLeftovers::ownerOf(std::string_view name) {
  // ".unzip.<pid>.<guid>.<random>"
  if (name.starts_with(kUnpackPrefix)) {
    auto parts = split(name.substr(std::string_view(kUnpackPrefix).size()), '.');
    return parts.size() >= 2 && allDigits(parts[0]) ? pidOf(parts[0]) : std::nullopt;
  }
  // "<name>.tmp.<pid>.XXXXXX": atomic writes, downloads included
  if (size_t at = name.rfind(".tmp."); at != std::string_view::npos) {
    auto parts = split(name.substr(at + 5), '.');
    if (parts.size() == 2 && allDigits(parts[0]) && parts[1].size() == 6) return pidOf(parts[0]);
  }
  return std::nullopt;
}

size_t QLStoreLeftovers::sweep(const std::filesystem::path& folder) {
  size_t removed = 0;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    auto owner = ownerOf(name);
    if (!owner || isRunning(*owner)) continue;
    std::error_code removeEc;
    if (std::filesystem::remove_all(it->path(), removeEc) > 0 && !removeEc) ++removed;
  }
  return removed;
}

}  // namespace vexa
