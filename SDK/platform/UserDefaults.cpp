#include "vexa/platform/UserDefaults.h"

#include <cstdlib>
#include <map>

#include "vexa/platform/Directories.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/PropertyList.h"

namespace vexa {

UserDefaults& UserDefaults::standard() {
  // One instance per preferences directory, so that a test or host that
  // changes the data root gets fresh settings.
  static std::mutex m;
  static std::map<std::filesystem::path, UserDefaults*>* byPath =
      new std::map<std::filesystem::path, UserDefaults*>();
  std::lock_guard<std::mutex> lock(m);
  auto file = Directories::preferences() / "com.tarvel.vexa.plist";
  auto it = byPath->find(file);
  if (it == byPath->end()) it = byPath->emplace(file, new UserDefaults(file)).first;
  return *it->second;
}

UserDefaults::UserDefaults(std::filesystem::path file) : file_(std::move(file)) {}

void UserDefaults::loadLocked() const {
  if (loaded_) return;
  loaded_ = true;
  auto v = PropertyList::readFile(file_);
  if (v && v->isDictionary()) values_ = *v->asDictionary();
}

std::optional<Value> UserDefaults::objectForKey(const std::string& key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  loadLocked();
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
  auto v = objectForKey(key);
  if (!v) return std::nullopt;
  if (auto* s = v->asString()) return *s;
  if (v->isNumber()) return v->description();
  return std::nullopt;
}

int64_t UserDefaults::integerForKey(const std::string& key) const {
  auto v = objectForKey(key);
  if (!v) return 0;
  if (auto i = v->numberAsInteger()) return *i;
  if (auto* s = v->asString()) return std::strtoll(s->c_str(), nullptr, 10);
  return 0;
}

double UserDefaults::doubleForKey(const std::string& key) const {
  auto v = objectForKey(key);
  if (!v) return 0;
  if (auto d = v->numberAsReal()) return *d;
  if (auto* s = v->asString()) return std::strtod(s->c_str(), nullptr);
  return 0;
}

void UserDefaults::setObject(const std::string& key, Value value) {
  std::lock_guard<std::mutex> lock(mutex_);
  loadLocked();
  if (value.isNull()) {
    dirty_ |= values_.erase(key) > 0;
    return;
  }
  values_.insert_or_assign(key, std::move(value));
  dirty_ = true;
}

void UserDefaults::removeObject(const std::string& key) { setObject(key, Value()); }

Status UserDefaults::synchronize() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!dirty_) return Status::Ok();
  if (auto s = FileSystem::createDirectories(file_.parent_path()); !s) return s;
  Status s = PropertyList::writeFile(file_, Value(values_));
  if (s) dirty_ = false;
  return s;
}

void UserDefaults::reload() {
  std::lock_guard<std::mutex> lock(mutex_);
  loaded_ = false;
  dirty_ = false;
  values_.clear();
}

}  // namespace vexa
