// What the one-time upgrade step needs of the package store: the stored
// packages and a way to write one back. A struct of functions so that tests
// (and hosts with a store of their own) can hand in another; an empty member
// stands for an empty store. standard() uses the SDK's package store.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "vexa/store/QLPackage.h"

namespace vexa {

struct QLPackageUpgradeStore {
  std::function<std::vector<std::shared_ptr<QLPackage>>()> allPackages;
  std::function<void(const std::shared_ptr<QLPackage>& package)> storeToDiskForPackage;

  static const QLPackageUpgradeStore& standard();
};

}  // namespace vexa
