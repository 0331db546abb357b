// The binding of one image view to the image loader.
//
// A target runs at most one load: a new load replaces the running one, whose
// result (still stored in the cache) is then never shown, so the newest
// request wins. An image already in the shared cache, in memory or on disk,
// is shown at once without filling memory. Destroying the target ends its
// load; the view owns the target.
//
// Main thread only; completions run on the main thread.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "vexa/platform/CallbackList.h"
#include "vexa/store/image/loader/QLImageLoader.h"

namespace vexa {

class QLImageLoadTarget {
 public:
  using Completion = QLImageLoader::Completion;

  explicit QLImageLoadTarget(std::shared_ptr<QLImageLoader> loader = QLImageLoader::sharedLoader());
  QLImageLoadTarget(const QLImageLoadTarget&) = delete;
  QLImageLoadTarget& operator=(const QLImageLoadTarget&) = delete;

  // Ends the running load, then shows the cached image at once or loads it.
  // `completion` gets the image to show, or the error (the view then stays
  // as it was); it is not called for a load that was replaced or cancelled.
  void setImageWithURL(const std::string& url, Completion completion);
  void cancelImageLoad();
  // The URL of the running load, if any.
  const std::optional<std::string>& runningURL() const { return runningURL_; }

 private:
  std::shared_ptr<QLImageLoader> loader_;
  std::optional<std::string> runningURL_;
  Subscription running_;
};

}  // namespace vexa
