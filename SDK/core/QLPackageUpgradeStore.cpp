#include "vexa/core/QLPackageUpgradeStore.h"

#include "vexa/platform/Once.h"
#include "vexa/store/QLPackageCache.h"

namespace vexa {

const QLPackageUpgradeStore& QLPackageUpgradeStore::standard() {
  return Once<QLPackageUpgradeStore>::instance([] {
    auto* store = new QLPackageUpgradeStore();
    store->allPackages = [] { return QLPackageCache::defaultCache().allPackages(); };
    store->storeToDiskForPackages = [](const Packages& packages) {
      return QLPackageCache::defaultCache().storeToDiskForPackages(packages);
    };
    return store;
  });
}

}  // namespace vexa
