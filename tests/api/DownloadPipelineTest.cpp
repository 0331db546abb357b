// The package download pipeline against the reference service: default
// packages from their archives, single packages from their emoji lists and
// missing images, progress, and what is reported.
#include "DownloadTestSupport.h"
#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include "vexa/store/QLPackageHelper.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

using test::DownloadTest;

// Progress values a package went through, each with whether the store held
// the package at that moment.
struct ProgressTrace {
  std::vector<std::pair<double, bool>> values;
  Subscription subscription;
  ProgressTrace(QLPackage& package, QLPackageCache& store) {
    subscription = package.observeProgress([this, &package, &store](const double& p) {
      values.emplace_back(p, store.isDownloadedForPackage(package));
    });
  }
};

TEST_F(DownloadTest, DefaultPackagesInstallOneAfterAnotherFromTheirArchives) {
  ASSERT_TRUE(await([&](auto done) { manager_->downloadDefaultPackages(done); }).ok());
  awaitReports();

  const auto& defaults = store_->defaultPackages();
  ASSERT_EQ(defaults.size(), 2u);
  EXPECT_EQ(defaults[0]->guid(), "pkg-classic-faces");
  EXPECT_EQ(defaults[1]->guid(), "pkg-everyday");
  for (const auto& package : defaults) {
    EXPECT_TRUE(package->isDefault());
    EXPECT_EQ(package->packageType(), 2);
    EXPECT_EQ(package->progress(), 1.0);
    ASSERT_FALSE(package->emojis().empty());
    for (const auto& emoji : package->emojis()) {
      EXPECT_NE(store_->imageForKey(emoji->thumbail(), *emoji), nullptr) << emoji->guid();
      EXPECT_NE(store_->imageForKey(emoji->main_image(), *emoji), nullptr) << emoji->guid();
    }
    EXPECT_NE(store_->imageForKey(package->chat_icon(), *package), nullptr);
  }
  EXPECT_TRUE(store_->downloadedPackages().empty());

  // Strictly in turn: archive, emoji list, then the next package.
  std::vector<std::string> order;
  for (const auto& entry : service_->log().entries()) {
    const std::string& path = *entry.find("path")->asString();
    if (path.starts_with("/files/") || path.find("/emojis") != std::string::npos) order.push_back(path);
  }
  EXPECT_EQ(order, (std::vector<std::string>{
                       "/files/pkg-classic-faces.zip", "/api/v1/package/pkg-classic-faces/emojis",
                       "/files/pkg-everyday.zip", "/api/v1/package/pkg-everyday/emojis"}));
  EXPECT_EQ(count("GET", "/files/images"), 0u) << "no single image requests";
  auto downloads = reports("download");
  ASSERT_EQ(downloads.size(), 2u);
  EXPECT_EQ(*downloads[0].find("package_id")->asString(), "pkg-classic-faces");
  EXPECT_EQ(*downloads[1].find("package_id")->asString(), "pkg-everyday");
}

TEST_F(DownloadTest, AFailedDefaultPackageStopsTheSequence) {
  service_->faults().add({.method = "GET", .pathPattern = "/files/pkg-classic-faces.zip", .status = 500});
  Status failed = await([&](auto done) { manager_->downloadDefaultPackages(done); });
  ASSERT_FALSE(failed.ok());
  EXPECT_NE(failed.error().description().find("(500)"), std::string::npos) << failed.error().toString();
  EXPECT_EQ(count("GET", "/files/pkg-everyday.zip"), 0u) << "the second package is never requested";
  EXPECT_TRUE(store_->defaultPackages().empty());
  EXPECT_TRUE(reports("download").empty());
  EXPECT_EQ(imageFileCount(), 0u);

  // A failure further on keeps what was stored before it.
  service_->faults().clear();
  service_->faults().add({.method = "GET", .pathPattern = "/api/v1/package/pkg-everyday/emojis", .status = 503});
  failed = await([&](auto done) { manager_->downloadDefaultPackages(done); });
  ASSERT_FALSE(failed.ok());
  ASSERT_EQ(store_->defaultPackages().size(), 1u);
  EXPECT_EQ(store_->defaultPackages()[0]->guid(), "pkg-classic-faces");
}

TEST_F(DownloadTest, AnEmptyDefaultListCompletesWithoutStoringAnything) {
  startService(test::catalogFromJson(test::onePackageCatalog("pkg-solo", 2, false)));
  ASSERT_TRUE(await([&](auto done) { manager_->downloadDefaultPackages(done); }).ok());
  EXPECT_TRUE(store_->allPackages().empty());
  EXPECT_EQ(count("GET", "/files/"), 0u);
  EXPECT_EQ(count("GET", "/api/v1/category/code/default"), 1u);
}

TEST_F(DownloadTest, ASinglePackageWithEveryImageHeldNeedsNoImageRequest) {
  auto package = shopPackage("pkg-mochi-cat");
  placeImages(imageURLsOf("pkg-mochi-cat"));
  service_->log().clear();

  ASSERT_TRUE(await([&](auto done) { manager_->downloadPackage(package, done); }).ok());
  awaitReports();
  EXPECT_EQ(count("GET", "/files/"), 0u);
  EXPECT_TRUE(store_->isDownloadedForPackage(*package));
  EXPECT_EQ(package->progress(), 1.0);
  EXPECT_EQ(reports("download").size(), 1u) << "still reported";
}

TEST_F(DownloadTest, MissingImagesGiveAHeadStartAndProgressReachesOneOnlyWhenStored) {
  startService(test::catalogFromJson(test::onePackageCatalog("pkg-ten", 10, false)));
  auto package = shopPackage("pkg-ten");
  // Every image but the main images of four emojis.
  std::vector<std::string> held;
  std::vector<std::string> missing;
  for (const auto& url : imageURLsOf("pkg-ten")) {
    bool drop = url.find("-m.gif") != std::string::npos && missing.size() < 4;
    (drop ? missing : held).push_back(url);
  }
  placeImages(held);
  service_->log().clear();

  ProgressTrace trace(*package, *store_);
  ASSERT_TRUE(await([&](auto done) { manager_->downloadPackage(package, done); }).ok());
  EXPECT_EQ(count("GET", "/files/"), 4u);
  for (const auto& url : missing) EXPECT_EQ(count("GET", logPathOf(url)), 1u) << url;

  ASSERT_GE(trace.values.size(), 3u);
  EXPECT_DOUBLE_EQ(trace.values[0].first, 0.00001) << "started before the first request";
  EXPECT_DOUBLE_EQ(trace.values[1].first, 0.6) << "1 - 4/10";
  double previous = 0;
  for (const auto& [value, storedThen] : trace.values) {
    EXPECT_GE(value, previous) << "progress only grows";
    previous = value;
    if (value >= 1.0) {
      EXPECT_TRUE(storedThen) << "1.0 only once stored";
    }
  }
  EXPECT_EQ(trace.values.back().first, 1.0);
  EXPECT_TRUE(store_->isDownloadedForPackage(*package));
}

TEST_F(DownloadTest, AFailedImageBatchReportsTheLastErrorAndStoresNothing) {
  auto package = shopPackage("pkg-little-robot");
  auto urls = imageURLsOf("pkg-little-robot");
  ASSERT_GE(urls.size(), 4u);
  service_->faults().add({.method = "GET", .pathPattern = logPathOf(urls[1]), .status = 500});
  service_->faults().add({.method = "GET", .pathPattern = logPathOf(urls[3]), .status = 503});

  ProgressTrace trace(*package, *store_);
  Status failed = await([&](auto done) { manager_->downloadPackage(package, done); });
  ASSERT_FALSE(failed.ok());
  EXPECT_NE(failed.error().description().find("(503)"), std::string::npos)
      << "the last failed image in batch order: " << failed.error().toString();
  EXPECT_FALSE(stored("pkg-little-robot"));
  EXPECT_TRUE(reports("download").empty());
  EXPECT_LT(package->progress(), 1.0);
  EXPECT_FALSE(std::filesystem::exists(store_->imageFileURLWithKey(urls[1])));
  EXPECT_FALSE(std::filesystem::exists(store_->imageFileURLWithKey(urls[3])));
  EXPECT_TRUE(std::filesystem::exists(store_->imageFileURLWithKey(urls[0])));
  for (const auto& [value, storedThen] : trace.values) EXPECT_LT(value, 1.0);
}

TEST_F(DownloadTest, TwoDownloadsOfOnePackageAtOnceStoreItOnce) {
  auto first = shopPackage("pkg-sunny-days");
  auto second = shopPackage("pkg-sunny-days");
  std::optional<Status> a, b;
  manager_->downloadPackage(first, [&a](const Status& s) { a = s; });
  manager_->downloadPackage(second, [&b](const Status& s) { b = s; });
  ASSERT_TRUE(test::runUntil([&] { return a && b; }, std::chrono::seconds(30)));
  awaitReports();
  EXPECT_TRUE(a->ok()) << a->error().toString();
  EXPECT_TRUE(b->ok()) << b->error().toString();
  EXPECT_EQ(store_->downloadedPackages().size(), 1u);
  EXPECT_EQ(reports("download").size(), 1u);
  for (const auto& emoji : store_->downloadedPackages()[0]->emojis()) {
    EXPECT_NE(store_->imageForKey(emoji->main_image(), *emoji), nullptr) << emoji->guid();
  }

  // The same for archives.
  auto zipA = shopPackage("pkg-everyday");
  auto zipB = shopPackage("pkg-everyday");
  a.reset();
  b.reset();
  manager_->downloadZipPackage(zipA, [&a](const Status& s) { a = s; });
  manager_->downloadZipPackage(zipB, [&b](const Status& s) { b = s; });
  ASSERT_TRUE(test::runUntil([&] { return a && b; }, std::chrono::seconds(30)));
  EXPECT_TRUE(a->ok()) << a->error().toString();
  EXPECT_TRUE(b->ok()) << b->error().toString();
  EXPECT_EQ(store_->downloadedPackages().size(), 2u);
}

TEST_F(DownloadTest, PackagesThatCannotBeDownloadedFailAtOnce) {
  struct Case {
    std::shared_ptr<QLPackage> package;
    const char* why;
  };
  auto noGuid = std::make_shared<QLPackage>();
  auto unsafe = std::make_shared<QLPackage>();
  unsafe->setGuid("../escape");
  for (const auto& c : std::vector<Case>{{nullptr, "none"}, {noGuid, "no guid"}, {unsafe, "unsafe guid"}}) {
    bool called = false;
    manager_->downloadPackage(c.package, [&](const Status& s) { called = true; EXPECT_FALSE(s.ok()); });
    EXPECT_TRUE(called) << c.why;
    called = false;
    manager_->downloadZipPackage(c.package, [&](const Status& s) { called = true; EXPECT_FALSE(s.ok()); });
    EXPECT_TRUE(called) << c.why;
  }
  manager_->setFilesBaseURL("");
  Status noHost = await([&](auto done) { manager_->downloadZipPackage(shopPackage("pkg-everyday"), done); });
  ASSERT_FALSE(noHost.ok());
  EXPECT_EQ(service_->log().size(), 0u) << "nothing was sent";
}

TEST_F(DownloadTest, WithoutCredentialsTheDownloadFailsWith8888) {
  manager_->setAppSecret("");
  Status failed = await([&](auto done) { manager_->downloadDefaultPackages(done); });
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().code(), QLDownloadManager::kMissingCredentialsCode);
  EXPECT_EQ(failed.error().description(), "Please set appid or appSecret");
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(DownloadPipelineTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
