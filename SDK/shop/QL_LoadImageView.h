// The banner's image view: clips to its bounds, light grey border of width
// 0, optional tap block (setting one adds a tap recogniser and turns touches
// on; clearing it removes both). Shows an image, a named image, or an image
// loaded from a URL, showing a placeholder meanwhile; only the newest URL
// asked for may set the image. URLs go through the shared image cache's
// loader unless another loader is installed. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vexa/platform/ui/ImageView.h"

namespace vexa {

class TapGestureRecognizer;
class QLImageLoadTarget;

class QL_LoadImageView : public ImageView {
 public:
  using TapBlock = std::function<void(QL_LoadImageView&)>;
  using Completion = std::function<void(std::shared_ptr<const Image>)>;
  // Fetches the image at `url` and calls `done` on the main queue (nullptr
  // when it could not be had).
  using URLImageLoader =
      std::function<void(const std::string& url, std::function<void(std::shared_ptr<const Image>)> done)>;

  explicit QL_LoadImageView(Rect frame = {});
  ~QL_LoadImageView() override;
  static std::shared_ptr<QL_LoadImageView> create(Rect frame = {}) {
    return std::make_shared<QL_LoadImageView>(frame);
  }

  bool isCircular() const { return circular_; }
  void setCircular(bool circular);
  const TapBlock& tapImageViewBlock() const { return tapBlock_; }
  void setTapImageViewBlock(TapBlock block);
  // Stored only.
  const Completion& completion() const { return completion_; }
  void setCompletion(Completion completion) { completion_ = std::move(completion); }

  // Replaces the image cache's loader (an empty one restores it).
  void setURLImageLoader(URLImageLoader loader) { loader_ = std::move(loader); }
  // Shows the placeholder, then the image at the URL once the loader has it.
  void setImageWithURL(const std::string& url, std::shared_ptr<const Image> placeholder);
  // The application's image of that name (ImageAssets).
  void setImageNamed(const std::string& name);
  // A direct image cancels any URL load in flight.
  void setImage(std::shared_ptr<const Image> image) override;
  const std::string& imageURL() const { return url_; }

  void layoutSubviews() override;

 private:
  bool circular_ = false;
  TapBlock tapBlock_;
  Completion completion_;
  URLImageLoader loader_;
  std::string url_;
  uint64_t loadGeneration_ = 0;
  std::shared_ptr<TapGestureRecognizer> tap_;
  std::unique_ptr<QLImageLoadTarget> target_;
};

}  // namespace vexa
