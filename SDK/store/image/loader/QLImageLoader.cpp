#include "vexa/store/image/loader/QLImageLoader.h"

#include <map>

#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLHTTPRequestOperation.h"
#include "vexa/http/QLImageResponseSerializer.h"
#include "vexa/http/QLOperationQueue.h"
#include "vexa/platform/GlobalQueue.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Once.h"
#include "vexa/store/image/QLImageDecoder.h"

namespace vexa {

struct QLImageLoader::State : std::enable_shared_from_this<State> {
  using Waiters = CallbackList<const ImagePtr&, const std::optional<Error>&>;
  struct Download {
    QLHTTPRequestOperation::Ptr operation;
    Waiters waiters;
  };

  State(std::shared_ptr<QL_SDImageCache> c, std::shared_ptr<QLHTTPTransport> t, size_t concurrency)
      : cache(std::move(c)),
        transport(t ? std::move(t) : std::make_shared<QLHTTPTransport>()),
        queue(concurrency),
        serializer(std::make_shared<QLImageResponseSerializer>()) {}

  void start(const std::string& url) {
    QLURLRequest request(url);
    request.setHeader("Accept", "image/*");
    auto operation = QLHTTPRequestOperation::make(std::move(request), transport);
    operation->setResponseSerializer(serializer);
    std::weak_ptr<State> weak = weak_from_this();
    operation->setCompletionBlockWithSuccess(
        [weak, url](const QLHTTPRequestOperation::Ptr&, const Value& object) {
          if (auto self = weak.lock()) self->decode(url, object);
        },
        [weak, url](const QLHTTPRequestOperation::Ptr&, const Error& error) {
          if (auto self = weak.lock()) self->finish(url, nullptr, nullptr, error);
        });
    downloads[url]->operation = operation;
    queue.addOperation(operation);
  }

  // Decoding a large GIF takes a while: off the main thread.
  void decode(const std::string& url, const Value& object) {
    const Bytes* body = object.asData();
    auto data = std::make_shared<const Bytes>(body ? *body : Bytes{});
    std::weak_ptr<State> weak = weak_from_this();
    GlobalQueue::shared().async([weak, url, data] {
      auto image = QLImageDecoder::decode(*data);
      MainQueue::shared().async([weak, url, data, image = std::move(image)] {
        auto self = weak.lock();
        if (!self) return;
        if (image.ok()) {
          self->finish(url, *image, data, std::nullopt);
        } else {
          self->finish(url, nullptr, nullptr, image.error());
        }
      });
    });
  }

  void finish(const std::string& url, ImagePtr image, std::shared_ptr<const Bytes> data,
              std::optional<Error> error) {
    auto it = downloads.find(url);
    if (it == downloads.end()) return;
    std::unique_ptr<Download> download = std::move(it->second);
    downloads.erase(it);
    if (image) cache->storeImage(image, false, std::move(data), url, true);
    download->waiters.notify(image, error);
  }

  std::shared_ptr<QL_SDImageCache> cache;
  std::shared_ptr<QLHTTPTransport> transport;
  QLOperationQueue queue;
  std::shared_ptr<const QLHTTPResponseSerializer> serializer;
  std::map<std::string, std::unique_ptr<Download>> downloads;  // main thread
};

std::shared_ptr<QLImageLoader> QLImageLoader::sharedLoader() {
  return Once<std::shared_ptr<QLImageLoader>>::instance([] {
    return new std::shared_ptr<QLImageLoader>(
        std::make_shared<QLImageLoader>(QL_SDImageCache::sharedImageCache()));
  });
}

QLImageLoader::QLImageLoader(std::shared_ptr<QL_SDImageCache> cache,
                             std::shared_ptr<QLHTTPTransport> transport,
                             size_t maxConcurrentDownloads)
    : state_(std::make_shared<State>(std::move(cache), std::move(transport),
                                     maxConcurrentDownloads)) {}

QLImageLoader::~QLImageLoader() {
  // Waiters must not hear from a loader that is gone; the queue's own
  // destruction cancels what has not started.
  for (auto& [url, download] : state_->downloads) download->operation->cancel();
}

const std::shared_ptr<QL_SDImageCache>& QLImageLoader::imageCache() const { return state_->cache; }

Subscription QLImageLoader::downloadImage(const std::string& url, Completion completion) {
  VX_ASSERT_MAIN_THREAD();
  auto& slot = state_->downloads[url];
  const bool fresh = !slot;
  if (fresh) slot = std::make_unique<State::Download>();
  Subscription subscription = slot->waiters.add(std::move(completion));
  if (fresh) state_->start(url);
  return subscription;
}

size_t QLImageLoader::activeDownloadCount() const { return state_->downloads.size(); }

}  // namespace vexa
