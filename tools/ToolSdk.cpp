#include "ToolSdk.h"

#include <iostream>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/core/VXEmotionCentre.h"
#include "vexa/platform/Directories.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/NotificationCenter.h"
#include "service/EmoticonService.h"
#include "service/SampleCatalog.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/store/QLStoreError.h"

namespace vexa::tool {

ServiceConnection::ServiceConnection() = default;
ServiceConnection::ServiceConnection(ServiceConnection&&) noexcept = default;
ServiceConnection& ServiceConnection::operator=(ServiceConnection&&) noexcept = default;
ServiceConnection::~ServiceConnection() = default;

Result<ServiceConnection> connectService(const GlobalOptions& options, const std::string& defaultUserId) {
  ServiceConnection connection;
  connection.options = options;
  GlobalOptions& o = connection.options;
  if (o.userId.empty()) o.userId = defaultUserId;
  if (!o.apiBase.empty()) return connection;
  auto catalog = service::SampleCatalog::load(Directories::caches());
  if (!catalog) return catalog.error();
  auto started = service::EmoticonService::start({.catalog = *catalog});
  if (!started) return started.error();
  connection.embedded = std::move(*started);
  o.apiBase = connection.embedded->apiBase();
  o.filesBase = connection.embedded->filesBase();
  if (o.appId.empty()) o.appId = service::EmoticonService::kDemoAppId;
  if (o.secret.empty()) o.secret = service::EmoticonService::kDemoAppSecret;
  return connection;
}

Status openSdk(const GlobalOptions& options) {
  if (Status home = checkHome(options); !home) return home;
  VXEmotionCentre::defaultCentre();
  auto& store = QLPackageCache::defaultCache();
  store.allPackages();
  std::optional<Error> unreadable;
  for (const Error& error : store.takeListErrors()) {
    if (error.domain() == QLStoreError::kDomain && error.code() == QLStoreError::kCorruptList) {
      std::cerr << "vexa: warning: " << error.description() << "\n";
    } else if (!unreadable) {
      unreadable = error;
    }
  }
  if (unreadable) return *unreadable;
  return Status::Ok();
}

Status configureSdk(const GlobalOptions& options, ServiceUse use) {
  if (Status usable = checkServiceOptions(options, use); !usable) return usable;
  if (Status opened = openSdk(options); !opened) return opened;
  auto& centre = VXEmotionCentre::defaultCentre();
  auto& manager = QLDownloadManager::defaultManager();
  if (!options.apiBase.empty()) {
    if (Status configured = manager.configure(options.apiBase); !configured) return configured;
  }
  if (!options.filesBase.empty()) manager.setFilesBaseURL(options.filesBase);
  centre.setAppId(options.appId, options.secret);
  centre.setUserId(options.userId);
  return Status::Ok();
}

Result<QLCategories> fetchCategories() {
  auto answer = awaitAnswer<Result<QLResponse>>(
      [](auto done) { QLDownloadManager::defaultManager().sendRequest(QLRequestTypeCategory, Value(), done); },
      std::chrono::seconds(30));
  if (!answer) return Error(kQLErrorDomain, -1, "no answer to the category request");
  if (!answer->ok()) return answer->error();
  const QLCategories* categories = answer->value().categories();
  if (!categories) return Error(kQLErrorDomain, -1, "the category answer holds no categories");
  return *categories;
}

Value emojiJson(const VXEmoji& emoji) {
  return Value::dict({{"id", emoji.emojiId()},
                      {"code", emoji.emojiCode()},
                      {"name", emoji.emojiName()},
                      {"packageId", emoji.packageId()},
                      {"hasImage", emoji.emojiImage() != nullptr}});
}

Value emojisJson(const std::vector<std::shared_ptr<VXEmoji>>& emojis) {
  Value::Array out;
  for (const auto& emoji : emojis) {
    if (emoji) out.push_back(emojiJson(*emoji));
  }
  return Value(std::move(out));
}

Value packageJson(const QLPackage& package) {
  return Value::dict({{"guid", package.guid()},
                      {"name", package.name()},
                      {"isDefault", package.isDefault()},
                      {"isEmoji", package.isEmoji()},
                      {"packageType", package.packageType()},
                      {"emojiCount", static_cast<int64_t>(package.emojis().size())}});
}

bool waitForReports(std::chrono::milliseconds limit) {
  auto& manager = QLDownloadManager::defaultManager();
  return waitFor([&manager] { return manager.pendingReportCount() == 0; }, limit);
}

void waitForStoreDiskWork() { QLPackageCache::defaultCache().waitForDiskWork(); }

bool finishSdkWork() {
  waitForStoreDiskWork();
  return waitForReports();
}

Result<size_t> installDefaultPackages(const std::function<void(const QLPackage&)>& onStored) {
  auto& store = QLPackageCache::defaultCache();
  if (!store.isNeedDownloadedDefaultPackages()) return size_t{0};
  size_t stored = 0;
  Subscription added = NotificationCenter::defaultCenter().addObserver(
      kQLEmotionPackageAddNotification, [&store, &stored, &onStored](const Notification&) {
        // Posted on the thread that stored; the lists are the main thread's.
        // The hop is queued before the download's completion, so it runs
        // while this function still waits.
        MainQueue::shared().async([&store, &stored, &onStored] {
          ++stored;
          const auto& defaults = store.defaultPackages();
          if (!defaults.empty() && onStored) onStored(*defaults.back());
        });
      });
  auto outcome = awaitAnswer<Status>(
      [](auto done) { QLDownloadManager::defaultManager().downloadDefaultPackages(done); });
  if (!outcome || !*outcome) {
    store.clearDefaultPackages();
    if (!outcome) return Error(kQLErrorDomain, -1, "the default packages did not arrive in time");
    return outcome->error();
  }
  // A partial list file would keep the rest from ever being fetched.
  if (Status saved = store.savePackageCache(); !saved) return saved.error();
  return stored;
}

}  // namespace vexa::tool
