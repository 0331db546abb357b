#include "vexa/store/QLPackageLists.h"

#include <algorithm>
#include <unordered_map>

#include "vexa/store/QLStoreError.h"

namespace vexa {

namespace {

using Guids = std::vector<std::string>;

bool names(const Guids& guids, const std::string& guid) {
  return std::find(guids.begin(), guids.end(), guid) != guids.end();
}

Guids guidsOf(const QLPackageLists::Packages& packages) {
  Guids out;
  out.reserve(packages.size());
  for (const auto& p : packages) out.push_back(p->guid());
  return out;
}

}  // namespace

const QLPackageLists::Packages& QLPackageLists::defaults() {
  if (!defaults_) {
    defaults_ = load(files_.defaultListPath(), true);
    ++generation_;
  }
  return *defaults_;
}

const QLPackageLists::Packages& QLPackageLists::downloaded() {
  if (!downloaded_) {
    downloaded_ = load(files_.downloadedListPath(), false);
    ++generation_;
  }
  return *downloaded_;
}

void QLPackageLists::forget() {
  defaults_.reset();
  downloaded_.reset();
  ++generation_;
}

void QLPackageLists::clearDefaults() {
  defaults_ = Packages{};
  ++generation_;
}

QLPackageLists::Packages QLPackageLists::load(const std::filesystem::path& path, bool defaults) {
  auto guids = files_.readGuids(path);
  if (!guids && guids.error().code() == QLStoreError::kCorruptList &&
      guids.error().domain() == QLStoreError::kDomain) {
    auto guard = lock();
    guids = guard ? readLocked(path, defaults) : Result<Guids>(guard.error());
  }
  if (!guids) repairs_.push_back(guids.error());
  // A list that cannot be read shows as empty; it is never written over
  // unread, since every change reads it again under the lock.
  return guids ? packagesFor(*guids, {}, nullptr) : Packages{};
}

Result<Guids> QLPackageLists::readLocked(const std::filesystem::path& path, bool defaults) {
  auto guids = files_.readGuids(path);
  if (guids || guids.error().domain() != QLStoreError::kDomain ||
      guids.error().code() != QLStoreError::kCorruptList) {
    return guids;
  }
  auto aside = files_.setAside(path);
  if (!aside) return aside.error();
  Guids rebuilt = files_.recordGuidsOnDisk(defaults);
  if (Status written = files_.writeGuids(rebuilt, path); !written) return written.error();
  repairs_.push_back(QLStoreError::make(
      QLStoreError::kCorruptList,
      guids.error().description() + "; it was kept as " + aside->filename().string() +
          " and rebuilt from " + std::to_string(rebuilt.size()) + " package records"));
  return rebuilt;
}

QLPackageLists::Packages QLPackageLists::packagesFor(const Guids& guids, const Packages& known,
                                                     const PackagePtr& extra) const {
  std::unordered_map<std::string, PackagePtr> byGuid;
  for (const auto& p : known) byGuid.emplace(p->guid(), p);
  if (extra) byGuid[extra->guid()] = extra;
  Packages out;
  out.reserve(guids.size());
  for (const auto& guid : guids) {
    if (auto it = byGuid.find(guid); it != byGuid.end()) {
      out.push_back(it->second);
    } else if (auto record = files_.loadRecord(guid)) {
      out.push_back(std::move(*record));
    }
  }
  return out;
}

Result<QLStoreLock::Guard> QLPackageLists::lock() {
  files_.root();  // the lock file lies in the folder, made on first use
  return lock_.acquire();
}

Result<Guids> QLPackageLists::rereadDownloaded(const Packages& known) {
  auto guids = readLocked(files_.downloadedListPath(), false);
  if (guids) sawForeignChange_ = *guids != guidsOf(known);
  return guids;
}

void QLPackageLists::setDownloaded(Packages packages) {
  downloaded_ = std::move(packages);
  ++generation_;
}

Status QLPackageLists::insertDownloaded(const PackagePtr& package) {
  auto guard = lock();
  if (!guard) return guard.error();
  const Packages known = downloaded();
  auto guids = rereadDownloaded(known);
  if (!guids) return guids.error();
  if (names(*guids, package->guid())) {
    setDownloaded(packagesFor(*guids, known, nullptr));
    return QLStoreError::make(QLStoreError::kAlreadyStored,
                              "The package " + package->guid() + " is stored already");
  }
  // The record first: a list never names a package whose record is missing.
  if (Status written = files_.saveRecord(*package); !written) return written;
  guids->insert(guids->begin(), package->guid());
  if (Status listed = files_.writeGuids(*guids, files_.downloadedListPath()); !listed) {
    (void)files_.removeRecord(package->guid());
    return listed;
  }
  setDownloaded(packagesFor(*guids, known, package));
  return Status::Ok();
}

Status QLPackageLists::appendDefault(const PackagePtr& package) {
  auto guard = lock();
  if (!guard) return guard.error();
  defaults();
  sawForeignChange_ = false;
  if (Status written = files_.saveRecord(*package); !written) return written;
  defaults_->push_back(package);
  ++generation_;
  return Status::Ok();
}

Status QLPackageLists::removeDownloaded(const QLPackage& package, PackagePtr& record) {
  auto guard = lock();
  if (!guard) return guard.error();
  const Packages known = downloaded();
  auto guids = rereadDownloaded(known);
  if (!guids) return guids.error();
  if (!names(*guids, package.guid())) {
    setDownloaded(packagesFor(*guids, known, nullptr));
    return QLStoreError::make(QLStoreError::kNotDownloaded,
                              "The package " + package.guid() + " is no downloaded package");
  }
  Packages stored = packagesFor({package.guid()}, known, nullptr);
  std::erase(*guids, package.guid());
  if (Status listed = files_.writeGuids(*guids, files_.downloadedListPath()); !listed) return listed;
  record = stored.empty() ? nullptr : stored.front();
  // Unlisted, the package is gone; a record left behind is never read.
  (void)files_.removeRecord(package.guid());
  setDownloaded(packagesFor(*guids, known, nullptr));
  return Status::Ok();
}

Status QLPackageLists::writeRecord(const QLPackage& package) {
  auto guard = lock();
  if (!guard) return guard.error();
  return files_.saveRecord(package);
}

Status QLPackageLists::writeRecords(const Packages& packages) {
  auto guard = lock();
  if (!guard) return guard.error();
  return files_.saveRecords(packages);
}

Status QLPackageLists::save() {
  auto guard = lock();
  if (!guard) return guard.error();
  if (auto downloadedGuids = readLocked(files_.downloadedListPath(), false); !downloadedGuids) {
    return downloadedGuids.error();
  }
  auto guids = readLocked(files_.defaultListPath(), true);
  if (!guids) return guids.error();
  const size_t onDisk = guids->size();
  for (const auto& p : defaults()) {
    if (!names(*guids, p->guid())) guids->push_back(p->guid());
  }
  std::error_code ec;
  if (guids->size() == onDisk && std::filesystem::exists(files_.defaultListPath(), ec)) {
    return Status::Ok();
  }
  return files_.writeGuids(*guids, files_.defaultListPath());
}

Status QLPackageLists::saveList(const Packages& packages, const std::filesystem::path& path) {
  auto guard = lock();
  if (!guard) return guard.error();
  return files_.saveList(packages, path);
}

std::vector<Error> QLPackageLists::takeRepairs() { return std::exchange(repairs_, {}); }

}  // namespace vexa
