// The banner carousel: a horizontally paged strip of images that loops
// without end, advances by itself every `timeInterval` seconds, shows page
// dots and reports taps.
//
// The loop repeats the image list 50 times and starts in the middle; when
// the automatic advance reaches the last item it jumps back to the middle
// without animation. The timer exists only while there are at least two
// images and no drag is in progress; it runs on the main queue. Whoever owns
// the view may set the images to none to stop it; destroying the view stops
// it too. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "vexa/platform/Timer.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/CollectionViewFlowLayout.h"
#include "vexa/platform/ui/View.h"
#include "vexa/shop/QL_LoadImageView.h"
#include "vexa/shop/QL_PageControl.h"

namespace vexa {

class QL_LoopScrollView : public View {
 public:
  // A page: an image, or a string that is a URL when it starts with
  // "http://" or "https://" or contains "/", else an image name.
  using ImageSource = std::variant<std::shared_ptr<const Image>, std::string>;
  using ImageList = std::shared_ptr<const std::vector<ImageSource>>;
  using ItemBlock = std::function<void(int pageIndex, QL_LoadImageView* imageView)>;

  static constexpr int kLoopCopies = 50;
  static constexpr int kAlignmentCenter = 2;
  static constexpr int kAlignmentRight = 4;
  static constexpr const char* kReuseCellIdentifier = "ReuseCellIdentifier";

  explicit QL_LoopScrollView(Rect frame = {});
  ~QL_LoopScrollView() override;
  static std::shared_ptr<QL_LoopScrollView> create(Rect frame = {}) {
    return std::make_shared<QL_LoopScrollView>(frame);
  }
  static std::shared_ptr<QL_LoopScrollView> loopScrollViewWithFrame(Rect frame, ImageList imageUrls);

  void setFrame(const Rect& frame) override;

  const ImageList& imageUrls() const { return imageUrls_; }
  // Only a different list object (or none) changes anything.
  void setImageUrls(ImageList imageUrls);
  const std::vector<std::string>& adTitles() const { return adTitles_; }
  void setAdTitles(std::vector<std::string> titles) { adTitles_ = std::move(titles); }
  const std::shared_ptr<const Image>& placeholder() const { return placeholder_; }
  void setPlaceholder(std::shared_ptr<const Image> image) { placeholder_ = std::move(image); }
  int alignment() const { return alignment_; }
  void setAlignment(int alignment);
  double timeInterval() const { return timeInterval_; }
  // Restarts the timer with the new interval (none for an interval <= 0).
  void setTimeInterval(double seconds);
  bool pageControlEnabled() const { return pageControlEnabled_; }
  void setPageControlEnabled(bool enabled);
  const std::shared_ptr<QL_PageControl>& pageControl() const { return pageControl_; }
  void setDidSelectItemBlock(ItemBlock block) { didSelectItemBlock_ = std::move(block); }
  void setDidScrollBlock(ItemBlock block) { didScrollBlock_ = std::move(block); }
  // Replaces the image cache's loader for URL pages (an empty one restores it).
  void setURLImageLoader(QL_LoadImageView::URLImageLoader loader) { loader_ = std::move(loader); }

  // The timer stays, but does not fire until startTimer().
  void pauseTimer() { paused_ = true; }
  // Fires once now, then on the usual schedule.
  void startTimer();

  const std::shared_ptr<CollectionView>& collectionView() const { return collectionView_; }
  const std::shared_ptr<CollectionViewFlowLayout>& layout() const { return layout_; }
  Timer* timer() const { return timer_.get(); }
  int totalPageCount() const { return totalPageCount_; }
  int previousPageIndex() const { return previousPageIndex_; }
  // The item under the middle of the strip.
  int currentItem() const;

  void layoutSubviews() override;

 private:
  int imageCount() const { return imageUrls_ ? static_cast<int>(imageUrls_->size()) : 0; }
  void setupTimer();
  void stopTimer();
  void advance();
  void configPageControl();
  void pageControlChanged(int page);
  std::shared_ptr<CollectionViewCell> cellForItem(CollectionView& view, const IndexPath& path);
  void didSelectItem(const IndexPath& path);
  void didScroll();
  QL_LoadImageView* imageViewForItem(int item) const;

  ImageList imageUrls_;
  std::vector<std::string> adTitles_;
  std::shared_ptr<const Image> placeholder_;
  int alignment_ = kAlignmentCenter;
  double timeInterval_ = 5;
  bool pageControlEnabled_ = false;
  bool paused_ = false;
  std::shared_ptr<QL_PageControl> pageControl_;
  ItemBlock didSelectItemBlock_;
  ItemBlock didScrollBlock_;
  QL_LoadImageView::URLImageLoader loader_;
  std::shared_ptr<CollectionViewFlowLayout> layout_;
  std::shared_ptr<CollectionView> collectionView_;
  std::shared_ptr<CollectionViewDataSource> dataSource_;
  std::shared_ptr<CollectionViewDelegate> delegate_;
  std::unique_ptr<Timer> timer_;
  int totalPageCount_ = 0;
  int previousPageIndex_ = 0;
};

}  // namespace vexa
