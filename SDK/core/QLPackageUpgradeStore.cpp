#include "vexa/core/QLPackageUpgradeStore.h"

#include "vexa/platform/Once.h"
#include "vexa/store/QLPackageCache.h"

namespace vexa {

const QLPackageUpgradeStore& QLPackageUpgradeStore::standard() {
  return Once<QLPackageUpgradeStore>::instance([] {
    auto* store = new QLPackageUpgradeStore();
    store->allPackages = [] { return QLPackageCache::defaultCache().allPackages(); };
    store->storeToDiskForPackage = [](const std::shared_ptr<QLPackage>& package) {
      if (package) (void)QLPackageCache::defaultCache().storeToDiskForPackage(*package);
    };
    return store;
  });
}

}  // namespace vexa
