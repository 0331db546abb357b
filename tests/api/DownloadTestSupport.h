// Fixtures for the download, lookup and report tests: the reference service
// on a port chosen by the OS (the generated sample catalogue, or one made
// from a description), a package store in a temporary directory with its
// own shared image cache, and a download manager pointed at both.
#pragma once
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/SecureItemStore.h"
#include "service/Catalog.h"
#include "service/EmoticonService.h"
#include "vexa/store/QLPackageCache.h"
#include "support/TempDirectory.h"
#include "support/TinyImages.h"

namespace vexa::test {

void writeFile(const std::filesystem::path& path, std::string_view bytes);

// The generated sample catalogue, drawn once per process.
std::shared_ptr<const service::Catalog> sampleCatalog();
// A catalogue from a description (see CatalogLoader) whose image references
// are files written next to it: "png/<name>" and "gif/<name>" are made on
// demand from tinyPng() and tinyGif().
std::shared_ptr<const service::Catalog> catalogFromJson(const std::string& json);
// A description of one package of `emojis` stickers, "<guid>-<i>" with
// codes "<guid>_<i>", under a default category when `isDefault`.
std::string onePackageCatalog(const std::string& guid, int emojis, bool isDefault);

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override { startService(sampleCatalog()); }
  void TearDown() override;
  // (Re)starts the service over the catalogue and makes a fresh manager.
  void startService(std::shared_ptr<const service::Catalog> catalog);

  // Runs an asynchronous operation and waits for its one status.
  Status await(const std::function<void(QLDownloadManager::DownloadCompletion)>& start);
  Result<QLDownloadManager::VXEmojis> awaitLookup(
      const std::function<void(QLDownloadManager::LookupCompletion)>& start);
  // Waits until no report is in flight.
  void awaitReports();

  // A package record as the shop shows it (no emojis), from the catalogue.
  std::shared_ptr<QLPackage> shopPackage(const std::string& guid);
  // The emoji list of a package as the service sends it.
  QLPackage::Emojis emojisOf(const std::string& guid);
  // The image URLs a complete copy of the package needs (main images and
  // thumbnails in emoji order, then the tab icon).
  std::vector<std::string> imageURLsOf(const std::string& guid);
  // Places the images of these URLs in the store, as an earlier download would have.
  void placeImages(const std::vector<std::string>& urls);

  // Requests the service received with this method whose decoded path
  // starts with the prefix ("/files/", "/api/v1/package/").
  std::vector<Value> requests(std::string_view method, std::string_view pathPrefix) const;
  size_t count(std::string_view method, std::string_view pathPrefix) const {
    return requests(method, pathPrefix).size();
  }
  // Token requests with "op" "refresh".
  size_t refreshes() const;
  // Accepted reports with this action ("download", "send"...).
  std::vector<Value> reports(std::string_view action) const;
  // The path a URL of the service's file host has in its log.
  std::string logPathOf(const std::string& url) const;
  // Regular files below the store's image directory.
  size_t imageFileCount() const;
  bool stored(const std::string& guid);

  TempDirectory dir_;
  SecureItemStore keychain_{dir_ / "keychain"};
  std::shared_ptr<QL_SDImageCache> shared_;
  std::unique_ptr<QLPackageCache> store_;
  std::unique_ptr<service::EmoticonService> service_;
  std::unique_ptr<QLDownloadManager> manager_;
};

}  // namespace vexa::test

#endif  // VEXA_HAVE_REFERENCE_SERVICE
