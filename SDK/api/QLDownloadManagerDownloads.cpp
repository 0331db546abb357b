// The package download pipeline of QLDownloadManager.
#include <algorithm>
#include <set>

#include "vexa/api/QLDownloadError.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/api/QLDownloadProgress.h"
#include "vexa/http/QLHTTPError.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/GlobalQueue.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/store/QLPackageFiles.h"
#include "vexa/store/QLStoreError.h"

namespace vexa {
namespace {

// Why the package cannot be downloaded at all; none when it can.
std::optional<Error> unusablePackage(const std::shared_ptr<QLPackage>& package) {
  if (!package || package->guid().empty()) {
    return QLDownloadError::make(QLDownloadError::kNoPackage, "No package to download");
  }
  // Refused before any request: it goes into request paths.
  if (auto problem = qlGuidProblem(package->guid())) return problem;
  // Its guid names its record file; the store would refuse it only at the end.
  if (!QLPackageFiles::isSafeFileName(package->guid())) {
    return QLStoreError::make(QLStoreError::kUnsafeGuid,
                              "Package guid cannot name a file: " + package->guid());
  }
  return std::nullopt;
}

Result<std::string> zipURL(const std::string& filesBase, const std::string& guid) {
  if (filesBase.empty()) {
    return QLDownloadError::make(QLDownloadError::kNoFileHost, "The package file host is not set");
  }
  auto base = QLURL::parse(filesBase);
  if (!base) {
    return QLDownloadError::make(QLDownloadError::kNoFileHost,
                                 "The package file host URL is not valid: " + filesBase);
  }
  // "?" and "#" would cut the name short; "/" would leave the host's folder.
  auto url = base->withTrailingSlash().resolve(UrlEscaping::escape(guid + ".zip", "?#/", {}));
  if (!url) return url.error();
  return url->string();
}

std::string_view bytesOf(const Value& body) {
  const Bytes* bytes = body.asData();
  if (!bytes) return {};
  return std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}

}  // namespace

QLPackageCache& QLDownloadManager::packageCache() {
  return packageCache_ ? *packageCache_ : QLPackageCache::defaultCache();
}

Result<QLURLRequest> QLDownloadManager::downloadRequest(std::string_view url) const {
  auto request = requestSerializer()->requestWithMethod("GET", url, Value());
  if (request && downloadTimeout_) request->setTimeoutInterval(*downloadTimeout_);
  return request;
}

void QLDownloadManager::storeDownloadedPackage(const PackagePtr& package,
                                               DownloadCompletion completion,
                                               std::function<Status()> prepare) {
  // Placing files and checking the thumbnails' headers touch the disk, and a
  // package may hold many images: off the main thread. The store takes its
  // lists on the main thread itself.
  QLPackageCache* store = &packageCache();
  GlobalQueue::shared().async([this, alive = lifetime_.token(), package, store,
                               completion = std::move(completion), prepare = std::move(prepare)] {
    Status prepared = prepare ? prepare() : Status::Ok();
    Status stored = prepared ? store->storePackage(package) : prepared;
    MainQueue::shared().async([this, alive, package, completion, prepared, stored] {
      if (!prepared) {
        completion(prepared);
        return;
      }
      if (alive.expired()) {
        completion(QLDownloadError::managerGone());
        return;
      }
      if (stored) {
        logAction(QLRequestTypeDownloadPackage, Value::dict({{kHTTPPathParamKey, package->guid()}}));
      } else if (const Error& why = stored.error();
                 why.domain() != QLStoreError::kDomain || why.code() != QLStoreError::kAlreadyStored) {
        // Stored before (here or by another process) is fine; a refusal or a
        // write that failed is not, and a write keeps its file-system reason.
        const std::string text =
            "The package " + package->guid() + " could not be stored: " + why.description();
        completion(why.domain() == QLStoreError::kDomain
                       ? QLDownloadError::make(QLDownloadError::kNotStored, text)
                       : Error(why.domain(), why.code(), text));
        return;
      }
      package->setProgress(1.0);
      completion(Status::Ok());
    });
  });
}

// --- Default packages ------------------------------------------------------------

void QLDownloadManager::downloadDefaultPackages(DownloadCompletion completion) {
  VX_ASSERT_MAIN_THREAD();
  if (!completion) completion = [](const Status&) {};
  sendRequest(QLRequestTypeDefaultPackages, Value(),
              [this, alive = lifetime_.token(), completion](const Result<QLResponse>& r) {
                if (!r) {
                  completion(r.error());
                  return;
                }
                if (alive.expired()) {
                  completion(QLDownloadError::managerGone());
                  return;
                }
                std::vector<PackagePtr> packages;
                if (const QLCategories* categories = r->categories()) {
                  for (const auto& category : *categories) {
                    if (!category) continue;
                    for (const auto& package : category->packages()) {
                      if (!package) continue;
                      package->setPackageType(QLPackage::kDefaultSmallEmojiType);
                      package->setIsDefault(true);
                      packages.push_back(package);
                    }
                  }
                }
                downloadPackages(std::move(packages), 0, completion);
              });
}

void QLDownloadManager::downloadPackages(std::vector<PackagePtr> packages, size_t currentIndex,
                                         DownloadCompletion completion) {
  VX_ASSERT_MAIN_THREAD();
  if (!completion) completion = [](const Status&) {};
  if (currentIndex >= packages.size()) {
    completion(Status::Ok());
    return;
  }
  PackagePtr package = packages[currentIndex];
  downloadZipPackage(package, [this, alive = lifetime_.token(),
                               packages = std::move(packages), currentIndex,
                               completion](const Status& status) mutable {
    if (!status) {
      completion(status);
      return;
    }
    if (alive.expired()) {
      completion(QLDownloadError::managerGone());
      return;
    }
    downloadPackages(std::move(packages), currentIndex + 1, std::move(completion));
  });
}

// --- One package from its archive --------------------------------------------------

void QLDownloadManager::downloadZipPackage(const PackagePtr& package,
                                           DownloadCompletion completion) {
  VX_ASSERT_MAIN_THREAD();
  if (!completion) completion = [](const Status&) {};
  if (auto unusable = unusablePackage(package)) {
    completion(*unusable);
    return;
  }
  auto url = zipURL(filesBaseURL_, package->guid());
  if (!url) {
    completion(url.error());
    return;
  }
  auto request = downloadRequest(*url);
  if (!request) {
    completion(request.error());
    return;
  }
  // The archive arrives as raw bytes, whatever its content type.
  auto operation = QLHTTPRequestOperation::make(std::move(request).value(), transport());
  operation->setSecurityPolicy(securityPolicy());
  operation->setDownloadProgressBlock([package](size_t chunk, int64_t, int64_t expected) {
    QLDownloadProgress::advance(*package, QLDownloadProgress::share(chunk, expected));
  });
  operation->setCompletionBlockWithSuccess(
      [this, alive = lifetime_.token(), package, completion](const Operation& done,
                                                                         const Value&) {
        if (alive.expired()) {
          completion(QLDownloadError::managerGone());
          return;
        }
        // Unpacking a large archive takes long enough to freeze the keyboard,
        // so it runs off the main thread; the operation keeps the bytes alive.
        QLPackageCache* store = &packageCache();
        GlobalQueue::shared().async([this, alive, package, completion, done, store] {
          Status unpacked = store->storeZip(package, bytesOf(done->responseObject()));
          MainQueue::shared().async([this, alive, package, completion, unpacked] {
            if (alive.expired()) {
              completion(QLDownloadError::managerGone());
              return;
            }
            if (!unpacked) {
              completion(unpacked);
              return;
            }
            sendRequest(QLRequestTypePackageEmojis, Value::dict({{kHTTPPathParamKey, package->guid()}}),
                        [this, alive, package, completion](const Result<QLResponse>& emojis) {
                          if (emojis && alive.expired()) {
                            completion(QLDownloadError::managerGone());
                            return;
                          }
                          finishZipPackage(package, emojis, completion);
                        });
          });
        });
      },
      [completion](const Operation&, const Error& error) { completion(error); });
  downloadQueue().addOperation(operation);
}

void QLDownloadManager::finishZipPackage(const PackagePtr& package,
                                         const Result<QLResponse>& emojis,
                                         const DownloadCompletion& completion) {
  if (!emojis) {
    completion(emojis.error());
    return;
  }
  package->setEmojis(emojis->emojis() ? *emojis->emojis() : QLPackage::Emojis{});
  QLPackageCache* store = &packageCache();
  storeDownloadedPackage(package, completion, [package, store] {
    Status placed;
    for (const auto& emoji : package->emojis()) {
      if (!emoji) continue;
      Status one = store->renameUnzipEmojiImage(*emoji);
      if (placed && !one) placed = one;
    }
    // An emoji whose files the archive lacked would be stored without images.
    return placed;
  });
}

// --- One package from its emoji list and images -------------------------------------

void QLDownloadManager::downloadPackage(const PackagePtr& package, DownloadCompletion completion) {
  VX_ASSERT_MAIN_THREAD();
  if (!completion) completion = [](const Status&) {};
  if (auto unusable = unusablePackage(package)) {
    completion(*unusable);
    return;
  }
  if (package->progress() <= 0) package->setProgress(0.00001);
  sendRequest(
      QLRequestTypePackageEmojis, Value::dict({{kHTTPPathParamKey, package->guid()}}),
      [this, alive = lifetime_.token(), package, completion](const Result<QLResponse>& r) {
        if (!r) {
          completion(r.error());
          return;
        }
        if (alive.expired()) {
          completion(QLDownloadError::managerGone());
          return;
        }
        package->setEmojis(r->emojis() ? *r->emojis() : QLPackage::Emojis{});
        auto operations = mainImgOperationsNeedDownloadForPackage(package);
        if (operations.empty()) {
          storeDownloadedPackage(package, completion);
          return;
        }
        // A head start for the images already held; with thumbnails and the
        // icon counted among the images it may be negative and change nothing.
        size_t emojiCount = package->emojis().size();
        if (emojiCount > 0) {
          QLDownloadProgress::raise(*package, 1.0 - static_cast<double>(operations.size()) /
                                                      static_cast<double>(emojiCount));
        }
        downloadQueue().addBatch(
            std::move(operations), nullptr,
            [this, alive, package, completion](const std::vector<Operation>& finished) {
              std::optional<Error> lastError;
              for (const auto& operation : finished) {
                if (operation->error()) lastError = *operation->error();
              }
              if (lastError) {
                completion(*lastError);
                return;
              }
              if (alive.expired()) {
                completion(QLDownloadError::managerGone());
                return;
              }
              storeDownloadedPackage(package, completion);
            });
      });
}

std::vector<QLDownloadManager::Operation> QLDownloadManager::mainImgOperationsNeedDownloadForPackage(
    const PackagePtr& package) {
  std::vector<Operation> operations;
  if (!package) return operations;
  QLPackageCache& store = packageCache();
  std::vector<std::string> missing;
  std::set<std::string, std::less<>> seen;
  for (auto& url : package->mainImgURLStrsOfEmojis()) {
    // Two operations for one file would only race each other.
    if (!seen.insert(url).second) continue;
    // A header check: decoding every image would cost their full size.
    if (!store.hasImageForKey(url)) missing.push_back(std::move(url));
  }
  if (missing.empty()) return operations;
  (void)FileSystem::createDirectories(store.imageCache()->diskCachePath());
  const size_t parts = missing.size();
  for (const auto& url : missing) {
    auto request = downloadRequest(UrlEscaping::escapeURL(url));
    Operation operation;
    if (request) {
      operation = QLHTTPRequestOperation::make(std::move(request).value(), transport());
      operation->setSecurityPolicy(securityPolicy());
      // Written under a temporary name that replaces the file only when the
      // whole image has arrived.
      operation->setOutputFile(store.imageFileURLWithKey(url));
    } else {
      operation = QLHTTPRequestOperation::makeFailed(request.error());
    }
    operation->setDownloadProgressBlock([package, parts](size_t chunk, int64_t, int64_t expected) {
      QLDownloadProgress::advance(*package, QLDownloadProgress::share(chunk, expected, parts));
    });
    operations.push_back(std::move(operation));
  }
  return operations;
}

}  // namespace vexa
