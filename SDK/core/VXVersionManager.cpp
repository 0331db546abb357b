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
    for (const auto& package : store.allPackages()) {
      if (!package) continue;
      package->setIsEmoji(package->isDefault());
      if (store.storeToDiskForPackage) store.storeToDiskForPackage(package);
    }
  }
  return setLastVersion(kVersion);
}

}  // namespace vexa
