#include "vexa/store/QLPackageFiles.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <unordered_set>

#include "vexa/platform/AtomicFileBatch.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/store/QLStoreError.h"

namespace vexa {

bool QLPackageFiles::isSafeFileName(std::string_view guid) {
  if (guid.empty() || guid == "." || guid == ".." || guid.size() > 255) return false;
  if (guid.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) return false;
  for (const char* own : {kDownloadedListName, kDefaultListName, kSmallTempEmojisName,
                          kBigTempEmojisName, kLockName}) {
    if (guid == own) return false;
  }
  return true;
}

const std::filesystem::path& QLPackageFiles::root() const {
  std::error_code ec;
  if (!std::filesystem::is_directory(root_, ec)) (void)FileSystem::createDirectories(root_);
  return root_;
}

Result<std::filesystem::path> QLPackageFiles::recordPath(std::string_view guid) const {
  if (!isSafeFileName(guid)) {
    return QLStoreError::make(QLStoreError::kUnsafeGuid,
                              "Package guid cannot name a file: \"" + std::string(guid) + "\"");
  }
  return root() / std::string(guid);
}

std::vector<std::shared_ptr<QLPackage>> QLPackageFiles::loadList(
    const std::filesystem::path& path) const {
  std::vector<std::shared_ptr<QLPackage>> out;
  auto list = PropertyList::readFile(path);
  if (!list || !list->isArray()) return out;
  std::unordered_set<std::string> seen;
  for (const Value& guid : *list->asArray()) {
    const std::string* text = guid.asString();
    if (!text || !seen.insert(*text).second) continue;
    auto package = loadRecord(*text);
    if (package) out.push_back(std::move(*package));
  }
  return out;
}

Status QLPackageFiles::saveList(const std::vector<std::shared_ptr<QLPackage>>& packages,
                                const std::filesystem::path& path) const {
  if (path.empty()) return Status::Ok();
  Value::Array guids;
  guids.reserve(packages.size());
  for (const auto& package : packages) guids.emplace_back(package->guid());
  root();
  return PropertyList::writeFile(path, Value(std::move(guids)));
}

Status QLPackageFiles::saveRecord(const QLPackage& package) const {
  auto path = recordPath(package.guid());
  if (!path) return path.error();
  return PropertyList::writeFile(*path, package.keyValues());
}

Status QLPackageFiles::saveRecords(const std::vector<std::shared_ptr<QLPackage>>& packages) const {
  AtomicFileBatch batch;
  std::string xml;
  for (const auto& package : packages) {
    if (!package) continue;
    auto path = recordPath(package->guid());
    if (!path) return path.error();
    if (Status written = PropertyList::toXml(package->keyValues(), xml); !written) return written;
    if (Status added = batch.add(*path, xml); !added) return added;
  }
  return batch.commit();
}

Result<std::shared_ptr<QLPackage>> QLPackageFiles::loadRecord(std::string_view guid) const {
  if (!isSafeFileName(guid)) {
    return QLStoreError::make(QLStoreError::kUnsafeGuid, "Package guid cannot name a file");
  }
  auto record = PropertyList::readFile(root_ / std::string(guid));
  if (!record) return record.error();
  if (!record->isDictionary()) {
    return QLStoreError::make(QLStoreError::kMalformedRecord,
                              "Package record is no dictionary: " + std::string(guid));
  }
  auto package = std::make_shared<QLPackage>();
  package->updateWithKeyValues(*record);
  package->setProgress(1.0);
  return package;
}

Status QLPackageFiles::removeRecord(std::string_view guid) const {
  if (!isSafeFileName(guid)) return Status::Ok();
  const auto path = root_ / std::string(guid);
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (ec) return FileSystem::errorFromErrno(ec.value(), "cannot remove " + path.string());
  return Status::Ok();
}

Result<std::vector<std::string>> QLPackageFiles::readGuids(const std::filesystem::path& path) const {
  std::vector<std::string> guids;
  auto bytes = FileSystem::readFile(path, PropertyList::kMaxBytes);
  if (!bytes) {
    const Error& error = bytes.error();
    if (error.domain() == FileSystem::kErrorDomain && error.code() == ENOENT) return guids;
    if (error.domain() != FileSystem::kErrorDomain || error.code() != EFBIG) return error;
  }
  auto list = bytes ? PropertyList::parse(*bytes) : Result<Value>(bytes.error());
  if (!list || !list->isArray()) {
    return QLStoreError::make(QLStoreError::kCorruptList,
                              "The package list " + path.string() + " is corrupt: " +
                                  (list ? std::string("it is no array") : list.error().description()));
  }
  std::unordered_set<std::string> seen;
  for (const Value& guid : *list->asArray()) {
    const std::string* text = guid.asString();
    if (text && seen.insert(*text).second) guids.push_back(*text);
  }
  return guids;
}

Status QLPackageFiles::writeGuids(const std::vector<std::string>& guids,
                                  const std::filesystem::path& path) const {
  Value::Array list(guids.begin(), guids.end());
  root();
  return PropertyList::writeFile(path, Value(std::move(list)));
}

Result<std::filesystem::path> QLPackageFiles::setAside(const std::filesystem::path& path) const {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
  auto aside = path;
  aside += std::string(kCorruptSuffix) + stamp + "." + std::to_string(::getpid());
  std::error_code ec;
  std::filesystem::rename(path, aside, ec);
  if (ec) return FileSystem::errorFromErrno(ec.value(), "cannot keep aside " + path.string());
  return aside;
}

std::vector<std::string> QLPackageFiles::recordGuidsOnDisk(bool defaults) const {
  std::vector<std::pair<std::filesystem::file_time_type, std::string>> found;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(root_, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::error_code typeEc;
    if (!it->is_regular_file(typeEc)) continue;
    const std::string name = it->path().filename().string();
    if (!isSafeFileName(name) || name.starts_with(".")) continue;
    auto record = loadRecord(name);
    if (!record || (*record)->guid() != name || (*record)->isDefault() != defaults) continue;
    found.emplace_back(it->last_write_time(typeEc), name);
  }
  std::sort(found.begin(), found.end());
  if (!defaults) std::reverse(found.begin(), found.end());
  std::vector<std::string> guids;
  for (auto& [time, guid] : found) guids.push_back(std::move(guid));
  return guids;
}

}  // namespace vexa
