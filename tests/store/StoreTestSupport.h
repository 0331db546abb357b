// Fixtures for the package store tests: tiny real images, packages whose
// emojis point at them, and a store over a temporary directory with its own
// shared image cache.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "vexa/store/QLPackageCache.h"
#include "support/TempDirectory.h"
#include "support/TinyImages.h"

namespace vexa::test {


// A package "guid" with `emojis` emojis whose guids are guid-0, guid-1...,
// codes guid_0..., images under http://img.test/guid/... URLs.
std::shared_ptr<QLPackage> makePackage(const std::string& guid, bool isDefault, bool isEmoji,
                                       int emojis = 2);
// Writes the thumbnails (and, with `everything`, the main images and the
// icon) of the package into the store's image directory.
void placeImages(QLPackageCache& store, const QLPackage& package, bool everything = false);

// A store over <tmp>/ApplicationSupport whose shared image cache lies in
// <tmp>/Caches; both come and go with the object.
class StoreUnderTest {
 public:
  StoreUnderTest();
  const std::filesystem::path& dir() const { return tmp_.path(); }
  std::filesystem::path base() const { return tmp_.path() / "ApplicationSupport"; }
  std::filesystem::path root() const { return base() / "QLPackages"; }
  // A fresh store over the same files, as after a restart.
  void reopen();
  QLPackageCache& operator*() { return *store_; }
  QLPackageCache* operator->() { return store_.get(); }
  const std::shared_ptr<QL_SDImageCache>& shared() const { return shared_; }

 private:
  TempDirectory tmp_;
  std::shared_ptr<QL_SDImageCache> shared_;
  std::unique_ptr<QLPackageCache> store_;
};

// The guid strings of a property-list array file ({"<unreadable>"} when
// it does not parse).
std::vector<std::string> guidsInList(const std::filesystem::path& path);
std::vector<std::string> guidsOf(const std::vector<std::shared_ptr<QLPackage>>& packages);

}  // namespace vexa::test
