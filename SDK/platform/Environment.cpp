#include "vexa/platform/Environment.h"

#include <cstdlib>
#include <map>
#include <mutex>

#include "vexa/platform/Once.h"

namespace vexa {
namespace {

// Values set for this process; nullopt stands for "unset".
struct Overrides {
  std::mutex mutex;
  std::map<std::string, std::optional<std::string>, std::less<>> values;
};

Overrides& overrides() {
  return Once<Overrides>::instance();
}

void setOverride(std::string_view name, std::optional<std::string> value) {
  Overrides& o = overrides();
  std::lock_guard<std::mutex> lock(o.mutex);
  o.values.insert_or_assign(std::string(name), std::move(value));
}

}  // namespace

std::optional<std::string> Environment::get(std::string_view name) {
  {
    Overrides& o = overrides();
    std::lock_guard<std::mutex> lock(o.mutex);
    if (auto it = o.values.find(name); it != o.values.end()) return it->second;
  }
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::optional<std::string> Environment::nonEmpty(std::string_view name) {
  auto value = get(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

void Environment::set(std::string_view name, std::string value) {
  setOverride(name, std::move(value));
}

void Environment::unset(std::string_view name) { setOverride(name, std::nullopt); }

void Environment::restore(std::string_view name) {
  Overrides& o = overrides();
  std::lock_guard<std::mutex> lock(o.mutex);
  if (auto it = o.values.find(name); it != o.values.end()) o.values.erase(it);
}

}  // namespace vexa
