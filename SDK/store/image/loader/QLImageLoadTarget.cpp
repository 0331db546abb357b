#include "vexa/store/image/loader/QLImageLoadTarget.h"

#include "vexa/http/QLHTTPError.h"
#include "vexa/platform/MainQueue.h"

namespace vexa {

QLImageLoadTarget::QLImageLoadTarget(std::shared_ptr<QLImageLoader> loader)
    : loader_(std::move(loader)) {}

void QLImageLoadTarget::cancelImageLoad() {
  running_.reset();
  runningURL_.reset();
}

void QLImageLoadTarget::setImageWithURL(const std::string& url, Completion completion) {
  VX_ASSERT_MAIN_THREAD();
  cancelImageLoad();
  if (url.empty()) {
    if (completion) completion(nullptr, qlURLError(kQLURLErrorBadURL, "no image URL"));
    return;
  }
  if (auto cached = loader_->imageCache()->imageFromDiskCacheForKey(url, true)) {
    if (completion) completion(cached, std::nullopt);
    return;
  }
  runningURL_ = url;
  running_ = loader_->downloadImage(
      url, [this, url, completion = std::move(completion)](const QLImageLoader::ImagePtr& image,
                                                           const std::optional<Error>& error) {
        if (runningURL_ != url) return;
        // Copied first: ending the subscription releases this function.
        Completion show = completion;
        cancelImageLoad();
        if (show) show(image, error);
      });
}

}  // namespace vexa
