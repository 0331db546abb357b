// What the one-time upgrade step needs of the package store: the stored
// packages and a way to write them back as one batch (an error when not
// all of them were written). A struct of functions so that tests
// (and hosts with a store of their own) can hand in another; an empty member
// stands for an empty store. standard() uses the SDK's package store.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "vexa/platform/Result.h"
#include "vexa/store/QLPackage.h"

namespace vexa {

struct QLPackageUpgradeStore {
  using Packages = std::vector<std::shared_ptr<QLPackage>>;

  std::function<Packages()> allPackages;
  std::function<Status(const Packages& packages)> storeToDiskForPackages;

  static const QLPackageUpgradeStore& standard();
};

}  // namespace vexa
