// Downloads that meet a failing file host: each ends with an error, leaves
// nothing half-stored, and a later attempt succeeds.
#include "DownloadTestSupport.h"
#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include <atomic>

#include "vexa/http/QLHTTPError.h"
#include "service/ZipWriter.h"
#include "support/LoopbackServer.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

using test::DownloadTest;

class DownloadFaultTest : public DownloadTest {
 protected:
  // Downloads the package from its archive, expecting the failure first
  // and a clean store, then succeeds.
  void zipFailsThenSucceeds(const std::string& guid, const std::function<void()>& healFault) {
    Status failed = await([&](auto done) { manager_->downloadZipPackage(shopPackage(guid), done); });
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(stored(guid));
    EXPECT_EQ(imageFileCount(), 0u) << "no unpacked or partial file stays";
    EXPECT_TRUE(reports("download").empty());
    healFault();
    Status retried = await([&](auto done) { manager_->downloadZipPackage(shopPackage(guid), done); });
    EXPECT_TRUE(retried.ok()) << retried.error().toString();
    EXPECT_TRUE(stored(guid));
  }
};

TEST_F(DownloadFaultTest, ConnectionDroppedMidArchive) {
  service_->faults().add(
      {.method = "GET", .pathPattern = "/files/pkg-everyday.zip", .truncateAfter = 300, .times = 1});
  zipFailsThenSucceeds("pkg-everyday", [] {});
}

TEST_F(DownloadFaultTest, SlowArchiveTimesOut) {
  manager_->setDownloadTimeoutInterval(0.3);
  service_->faults().add({.method = "GET",
                          .pathPattern = "/files/pkg-everyday.zip",
                          .latency = std::chrono::milliseconds(1500),
                          .times = 1});
  zipFailsThenSucceeds("pkg-everyday", [] {});
}

TEST_F(DownloadFaultTest, CorruptOrIncompleteArchives) {
  // A file host of its own: garbage first, then an archive with the icon
  // alone, then the real archive.
  const std::string guid = "pkg-everyday";
  const std::string* real = service_->catalog().archive(guid);
  ASSERT_TRUE(real);
  service::ZipWriter iconOnly;
  ASSERT_TRUE(iconOnly.add("title_keyboard_icon.png", test::tinyPng()).ok());
  auto incomplete = iconOnly.finish();
  ASSERT_TRUE(incomplete.ok());
  const std::vector<std::string> answers = {"PK\x03\x04 this is no archive", *incomplete, *real};
  std::atomic<size_t> served{0};
  test::LoopbackServer host;
  host.on("GET", "/files/" + guid + ".zip", [&](const httplib::Request&, httplib::Response& res) {
    size_t i = std::min(served.fetch_add(1), answers.size() - 1);
    res.set_content(answers[i], "application/zip");
  });
  manager_->setFilesBaseURL(host.origin() + "/files/");

  Status garbage = await([&](auto done) { manager_->downloadZipPackage(shopPackage(guid), done); });
  EXPECT_FALSE(garbage.ok());
  EXPECT_EQ(imageFileCount(), 0u);
  EXPECT_EQ(count("GET", "/api/v1/package/"), 0u) << "no emoji list for a bad archive";

  Status missing = await([&](auto done) { manager_->downloadZipPackage(shopPackage(guid), done); });
  EXPECT_FALSE(missing.ok()) << "an archive without the emojis' images";
  EXPECT_FALSE(stored(guid));
  EXPECT_TRUE(reports("download").empty());

  Status retried = await([&](auto done) { manager_->downloadZipPackage(shopPackage(guid), done); });
  EXPECT_TRUE(retried.ok()) << retried.error().toString();
  EXPECT_TRUE(stored(guid));
  EXPECT_EQ(served.load(), 3u);
}

TEST_F(DownloadFaultTest, OneImageFailsOrIsSlow) {
  // Only the slow case needs a short timeout; elsewhere a loaded machine
  // must not make a healthy image time out too.
  struct Case {
    const char* name;
    service::FaultPlan::Rule rule;
    double timeout = 60;
  };
  const std::string guid = "pkg-bouncy-blob";
  auto urls = imageURLsOf(guid);
  ASSERT_GE(urls.size(), 3u);
  const std::vector<Case> cases = {
      {"status 500", {.method = "GET", .pathPattern = logPathOf(urls[2]), .status = 500, .times = 1}},
      {"slow answer",
       {.method = "GET", .pathPattern = logPathOf(urls[2]), .latency = std::chrono::seconds(6), .times = 1},
       2.0},
      {"cut short",
       {.method = "GET", .pathPattern = logPathOf(urls[2]), .truncateAfter = 10, .times = 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    manager_->setDownloadTimeoutInterval(c.timeout);
    service_->faults().clear();
    service_->faults().add(c.rule);
    auto package = shopPackage(guid);
    Status failed = await([&](auto done) { manager_->downloadPackage(package, done); });
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(stored(guid));
    EXPECT_FALSE(std::filesystem::exists(store_->imageFileURLWithKey(urls[2])))
        << "no partial file where the store would look";
    EXPECT_TRUE(std::filesystem::exists(store_->imageFileURLWithKey(urls[0])));
    EXPECT_LT(package->progress(), 1.0);

    service_->log().clear();
    manager_->setDownloadTimeoutInterval(60);
    Status retried = await([&](auto done) { manager_->downloadPackage(package, done); });
    ASSERT_TRUE(retried.ok()) << retried.error().toString();
    EXPECT_TRUE(stored(guid));
    EXPECT_EQ(count("GET", "/files/"), 1u) << "only the missing image again";
    EXPECT_EQ(package->progress(), 1.0);
    awaitReports();
    ASSERT_TRUE(store_->removePackage(package).ok());
    (void)store_->imageCache()->getSize();  // the removal's deletions are done
  }
  EXPECT_EQ(reports("download").size(), cases.size());
}

// A file host that stalls must not hold the service's traffic: the images
// wait on their own queue, and a request made meanwhile is answered.
TEST_F(DownloadFaultTest, RequestsAreAnsweredWhileImagesStall) {
  const std::string guid = "pkg-bouncy-blob";
  ASSERT_GT(imageURLsOf(guid).size(), QLOperationQueue::kDefaultMaxConcurrentOperationCount);
  service_->faults().add({.method = "GET", .pathPattern = "/files/*", .latency = std::chrono::seconds(60)});
  std::optional<Status> downloaded;
  manager_->downloadPackage(shopPackage(guid), [&](const Status& s) { downloaded = s; });
  // The whole batch is queued, four images in flight and the rest waiting.
  ASSERT_TRUE(test::runUntil([&] { return manager_->downloadQueue().operationCount() > 4; }));

  bool answered = false;
  manager_->sendRequest(QLRequestTypeCategory, Value(), [&](const Result<QLResponse>& r) {
    EXPECT_TRUE(r.ok()) << r.error().toString();
    answered = true;
  });
  ASSERT_TRUE(test::runUntil([&] { return answered || downloaded.has_value(); }, std::chrono::seconds(30)));
  EXPECT_TRUE(answered);
  EXPECT_FALSE(downloaded.has_value()) << "answered while the images are still stalled";

  manager_->downloadQueue().cancelAllOperations();
  ASSERT_TRUE(test::runUntil([&] { return downloaded.has_value(); }));
  EXPECT_FALSE(downloaded->ok());
  EXPECT_FALSE(stored(guid));
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(DownloadFaultTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
