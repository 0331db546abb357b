#include "vexa/core/VXVersionManager.h"

#include "vexa/platform/Once.h"

namespace vexa {

VXVersionManager& VXVersionManager::defaultManager() { return Once<VXVersionManager>::instance(); }

std::string VXVersionManager::versionString(int64_t version) {
  return "VEXA version " + std::to_string((version >> 16) & 0xFF) + "." +
         std::to_string((version >> 8) & 0xFF) + "." + std::to_string(version & 0xFF);
}

int64_t VXVersionManager::lastVersion() const { return defaults().integerForKey(kVersionKey); }

Status VXVersionManager::setLastVersion(int64_t version) {
  auto& d = defaults();
  d.setObject(kVersionKey, Value(version));
  return d.synchronize();
}

Status VXVersionManager::checkForUpdate(const QLPackageUpgradeStore& store) {
  int64_t last = lastVersion();
  if (last >= kVersion) return Status::Ok();
  if (last == 0 && store.allPackages) {
    auto packages = store.allPackages();
    std::erase(packages, nullptr);
    for (const auto& package : packages) package->setIsEmoji(package->isDefault());
    // Recorded only once every record is written: a crash or a failed
    // write runs the step again at the next start.
    if (store.storeToDiskForPackages && !packages.empty()) {
      if (Status written = store.storeToDiskForPackages(packages); !written) return written;
    }
  }
  return setLastVersion(kVersion);
}

}  // namespace vexa
