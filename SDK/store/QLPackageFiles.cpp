#include "vexa/store/QLPackageFiles.h"

#include <unordered_set>

#include "vexa/platform/FileSystem.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/store/QLStoreError.h"

namespace vexa {

bool QLPackageFiles::isSafeFileName(std::string_view guid) {
  if (guid.empty() || guid == "." || guid == ".." || guid.size() > 255) return false;
  if (guid.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) return false;
  for (const char* own : {kDownloadedListName, kDefaultListName, kSmallTempEmojisName,
                          kBigTempEmojisName}) {
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

void QLPackageFiles::removeRecord(std::string_view guid) const {
  if (!isSafeFileName(guid)) return;
  std::error_code ec;
  std::filesystem::remove(root_ / std::string(guid), ec);
}

}  // namespace vexa
