#include "DownloadTestSupport.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include <fstream>
#include <regex>
#include <set>

#include "vexa/platform/UrlEscaping.h"
#include "service/CatalogLoader.h"
#include "service/SampleCatalog.h"
#include "support/MainQueueTesting.h"

namespace vexa::test {
namespace {


// Directories of the catalogues made by catalogFromJson(), kept for the process.
std::vector<std::unique_ptr<TempDirectory>>& catalogDirectories() {
  static std::vector<std::unique_ptr<TempDirectory>> dirs;
  return dirs;
}

}  // namespace

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::shared_ptr<const service::Catalog> sampleCatalog() {
  // Drawn once per build, not per test process (ensure() is safe across
  // processes).
  static const auto catalog = []() -> std::shared_ptr<const service::Catalog> {
    auto loaded = service::SampleCatalog::load(VEXA_SAMPLE_CACHE_DIR);
    return loaded ? *loaded : nullptr;
  }();
  return catalog;
}

std::shared_ptr<const service::Catalog> catalogFromJson(const std::string& json) {
  auto& dirs = catalogDirectories();
  dirs.push_back(std::make_unique<TempDirectory>());
  const auto& dir = dirs.back()->path();
  static const std::regex reference("\"((png|gif)/[^\"]+)\"");
  for (std::sregex_iterator it(json.begin(), json.end(), reference), end; it != end; ++it) {
    writeFile(dir / (*it)[1].str(), (*it)[2] == "png" ? tinyPng() : tinyGif());
  }
  auto loaded = service::CatalogLoader::parse(json, dir);
  EXPECT_TRUE(loaded.ok()) << (loaded ? "" : loaded.error().toString());
  return loaded ? *loaded : nullptr;
}

std::string onePackageCatalog(const std::string& guid, int emojis, bool isDefault) {
  std::string list;
  for (int i = 0; i < emojis; ++i) {
    std::string id = guid + "-" + std::to_string(i);
    if (!list.empty()) list += ",";
    list += R"({"guid":")" + id + R"(","emo_code":")" + guid + "_" + std::to_string(i) +
            R"(","emo_text":"Text )" + std::to_string(i) + R"(","thumbail":"png/)" + id +
            R"(-t.png","main_image":"gif/)" + id + R"(-m.gif"})";
  }
  std::string json = R"({"packages":[{"guid":")" + guid + R"(","name":"Package )" + guid +
                     R"(","is_emoji":false,"cover":"png/)" + guid + R"(-cover.png","chat_icon":"png/)" +
                     guid + R"(-icon.png","emoticions":[)" + list + "]}]";
  if (isDefault) {
    json += R"(,"defaultCategory":{"guid":"cat-default","name":"Default","packages":[")" + guid +
            R"("]})";
  }
  return json + "}";
}

void DownloadTest::startService(std::shared_ptr<const service::Catalog> catalog) {
  ASSERT_TRUE(catalog);
  manager_.reset();
  if (service_) service_->stop();
  auto started = service::EmoticonService::start({.catalog = std::move(catalog)});
  ASSERT_TRUE(started.ok()) << started.error().toString();
  service_ = std::move(*started);
  if (!store_) {
    shared_ = std::make_shared<QL_SDImageCache>("default", dir_ / "Caches");
    store_ = std::make_unique<QLPackageCache>(dir_ / "ApplicationSupport", shared_);
  }
  manager_ = std::make_unique<QLDownloadManager>(service_->apiBase(), &keychain_);
  manager_->setPackageCache(store_.get());
  manager_->setFilesBaseURL(service_->filesBase());
  manager_->setAppId(service::EmoticonService::kDemoAppId);
  manager_->setAppSecret(service::EmoticonService::kDemoAppSecret);
  manager_->setUserId("user 1");
}

void DownloadTest::TearDown() {
  // Reports still in flight end before the service goes.
  if (manager_) runUntil([this] { return manager_->pendingReportCount() == 0; });
  manager_.reset();
  if (service_) service_->stop();
  spin();
}

Status DownloadTest::await(const std::function<void(QLDownloadManager::DownloadCompletion)>& start) {
  std::optional<Status> outcome;
  int calls = 0;
  start([&outcome, &calls](const Status& status) {
    ++calls;
    EXPECT_TRUE(isMainThread());
    outcome = status;
  });
  EXPECT_TRUE(runUntil([&] { return outcome.has_value(); }, std::chrono::seconds(30)));
  spin(std::chrono::milliseconds(30));  // a second call would show
  EXPECT_EQ(calls, 1);
  return outcome ? *outcome : Status(Error("test", 0, "no answer"));
}

Result<QLDownloadManager::VXEmojis> DownloadTest::awaitLookup(
    const std::function<void(QLDownloadManager::LookupCompletion)>& start) {
  std::optional<Result<QLDownloadManager::VXEmojis>> outcome;
  int calls = 0;
  start([&outcome, &calls](const Result<QLDownloadManager::VXEmojis>& result) {
    ++calls;
    EXPECT_TRUE(isMainThread());
    outcome = result;
  });
  EXPECT_TRUE(runUntil([&] { return outcome.has_value(); }, std::chrono::seconds(30)));
  spin(std::chrono::milliseconds(30));
  EXPECT_EQ(calls, 1);
  return outcome ? *outcome : Result<QLDownloadManager::VXEmojis>(Error("test", 0, "no answer"));
}

void DownloadTest::awaitReports() {
  EXPECT_TRUE(runUntil([this] { return manager_->pendingReportCount() == 0; }));
}

std::shared_ptr<QLPackage> DownloadTest::shopPackage(const std::string& guid) {
  const service::Catalog::Package* p = service_->catalog().package(guid);
  EXPECT_TRUE(p) << guid;
  auto package = std::make_shared<QLPackage>();
  if (p) package->updateWithKeyValues(p->record);
  // Image references become the file host's URLs, as the service sends them.
  if (!package->chat_icon().empty() && package->chat_icon().find("://") == std::string::npos) {
    package->setChat_icon(service_->filesBase() + package->chat_icon());
  }
  return package;
}

QLPackage::Emojis DownloadTest::emojisOf(const std::string& guid) {
  std::optional<Result<QLResponse>> answer;
  manager_->sendRequest(QLRequestTypePackageEmojis, Value::dict({{kHTTPPathParamKey, guid}}),
                        [&answer](const Result<QLResponse>& r) { answer = r; });
  EXPECT_TRUE(runUntil([&] { return answer.has_value(); }));
  if (!answer || !answer->ok() || !answer->value().emojis()) {
    ADD_FAILURE() << "no emoji list for " << guid;
    return {};
  }
  return *answer->value().emojis();
}

std::vector<std::string> DownloadTest::imageURLsOf(const std::string& guid) {
  QLPackage probe;
  probe.setChat_icon(shopPackage(guid)->chat_icon());
  probe.setEmojis(emojisOf(guid));
  return probe.mainImgURLStrsOfEmojis();
}

void DownloadTest::placeImages(const std::vector<std::string>& urls) {
  for (const auto& url : urls) {
    bool gif = url.size() > 4 && url.compare(url.size() - 4, 4, ".gif") == 0;
    writeFile(store_->imageFileURLWithKey(url), gif ? tinyGif() : tinyPng());
  }
}

std::vector<Value> DownloadTest::requests(std::string_view method, std::string_view pathPrefix) const {
  std::vector<Value> out;
  for (const auto& entry : service_->log().entries()) {
    const Value* m = entry.find("method");
    const Value* p = entry.find("path");
    if (m && p && m->isString() && p->isString() && *m->asString() == method &&
        p->asString()->starts_with(pathPrefix)) {
      out.push_back(entry);
    }
  }
  return out;
}

size_t DownloadTest::refreshes() const {
  size_t n = 0;
  for (const auto& entry : requests("GET", "/api/v1/token")) {
    const Value* query = entry.find("query");
    const Value* op = query ? query->find("op") : nullptr;
    if (op && op->isString() && *op->asString() == "refresh") ++n;
  }
  return n;
}

std::vector<Value> DownloadTest::reports(std::string_view action) const {
  std::vector<Value> out;
  for (const auto& report : service_->reports().reports()) {
    const Value* a = report.find("action");
    if (a && a->isString() && *a->asString() == action) out.push_back(report);
  }
  return out;
}

std::string DownloadTest::logPathOf(const std::string& url) const {
  std::string origin = service_->baseUrl();
  EXPECT_TRUE(url.starts_with(origin)) << url;
  return UrlEscaping::unescape(UrlEscaping::escape(url.substr(origin.size())));
}

size_t DownloadTest::imageFileCount() const {
  size_t files = 0;
  std::error_code ec;
  auto dir = store_->imageCache()->diskCachePath();
  if (!std::filesystem::exists(dir, ec)) return 0;
  for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file(ec)) ++files;
  }
  return files;
}

bool DownloadTest::stored(const std::string& guid) {
  for (const auto& package : store_->allPackages()) {
    if (package->guid() == guid) return true;
  }
  return false;
}

}  // namespace vexa::test

#endif  // VEXA_HAVE_REFERENCE_SERVICE
