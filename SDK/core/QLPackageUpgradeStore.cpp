#include "core/QLPackageUpgradeStore.h"

#include "platform/Once.h"

namespace vexa {

const QLPackageUpgradeStore& QLPackageUpgradeStore::standard() {
  return Once<QLPackageUpgradeStore>::instance([] { return new QLPackageUpgradeStore(); });
}

}  // namespace vexa
