// Downloads images by URL for image views, through the shared image cache.
//
// Requests carry "Accept: image/*" and run on the loader's own operation
// queue (4 at a time). Concurrent loads of one URL share one download. A
// downloaded body is decoded off the main thread; the image then goes into
// the cache (memory, and on disk the bytes exactly as served, so animated
// GIFs stay animated) whether or not anyone still waits for it. A body that
// does not decode is a failure and stores nothing.
//
// Threads: main thread only; completions run on the main queue.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "vexa/http/QLHTTPTransport.h"
#include "vexa/platform/CallbackList.h"
#include "vexa/platform/Error.h"
#include "vexa/platform/Image.h"
#include "vexa/store/image/QL_SDImageCache.h"

namespace vexa {

class QLImageLoader {
 public:
  using ImagePtr = std::shared_ptr<const Image>;
  // Exactly one of image and error is set.
  using Completion = std::function<void(const ImagePtr& image, const std::optional<Error>& error)>;
  static constexpr size_t kDefaultMaxConcurrentDownloads = 4;

  // The loader of image views: the shared image cache, a transport of its own.
  static std::shared_ptr<QLImageLoader> sharedLoader();

  // Without a transport the loader makes its own.
  explicit QLImageLoader(std::shared_ptr<QL_SDImageCache> cache,
                         std::shared_ptr<QLHTTPTransport> transport = nullptr,
                         size_t maxConcurrentDownloads = kDefaultMaxConcurrentDownloads);
  // Downloads still waiting are cancelled; their waiters hear nothing.
  ~QLImageLoader();
  QLImageLoader(const QLImageLoader&) = delete;
  QLImageLoader& operator=(const QLImageLoader&) = delete;

  const std::shared_ptr<QL_SDImageCache>& imageCache() const;

  // Starts the download of `url` or joins the one running for it.
  // `completion` runs once on the main queue, unless the returned
  // subscription has ended before; ending it does not stop the download.
  [[nodiscard]] Subscription downloadImage(const std::string& url, Completion completion);
  // Downloads started and not yet finished.
  size_t activeDownloadCount() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace vexa
