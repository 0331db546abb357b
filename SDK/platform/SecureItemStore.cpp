#include "vexa/platform/SecureItemStore.h"

#include <sys/stat.h>

#include "vexa/platform/Directories.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/Md5.h"
#include "vexa/platform/Once.h"
#include "vexa/platform/PropertyList.h"

namespace vexa {

SecureItemStore& SecureItemStore::shared() { return Once<SecureItemStore>::instance(); }

SecureItemStore::SecureItemStore(std::optional<std::filesystem::path> directory)
    : directory_(std::move(directory)) {}

std::filesystem::path SecureItemStore::directory() const {
  return directory_ ? *directory_ : Directories::keychain();
}

std::filesystem::path SecureItemStore::fileFor(const std::string& service) const {
  // Hashing keeps any service name a safe file name.
  return directory() / ("service-" + Md5::lowerHex(service) + ".plist");
}

std::optional<std::string> SecureItemStore::password(const std::string& service,
                                                     const std::string& account) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto items = PropertyList::readFile(fileFor(service));
  if (!items) return std::nullopt;
  const Value* entry = items->find(account);
  if (!entry) return std::nullopt;
  if (auto* s = entry->asString()) return *s;
  if (auto* d = entry->asData()) return std::string(d->begin(), d->end());
  return std::nullopt;
}

Status SecureItemStore::setPassword(const std::string& service, const std::string& account,
                                    const std::string& password) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto dir = directory();
  if (auto s = FileSystem::createDirectories(dir); !s) return s;
  ::chmod(dir.c_str(), 0700);
  auto file = fileFor(service);
  Value items = Value::dict();
  if (auto existing = PropertyList::readFile(file); existing && existing->isDictionary()) {
    items = std::move(existing).value();
  }
  items[account] = Value(Bytes(password.begin(), password.end()));
  return PropertyList::writeFile(file, items, 0600);
}

Status SecureItemStore::remove(const std::string& service, const std::string& account) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto file = fileFor(service);
  auto existing = PropertyList::readFile(file);
  if (!existing || !existing->isDictionary()) return Status::Ok();
  Value items = std::move(existing).value();
  if (items.asDictionary()->erase(account) == 0) return Status::Ok();
  return PropertyList::writeFile(file, items, 0600);
}

}  // namespace vexa
