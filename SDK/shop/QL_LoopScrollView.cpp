#include "vexa/shop/QL_LoopScrollView.h"

#include <algorithm>
#include <cmath>

#include "vexa/platform/ui/Label.h"
#include "vexa/shop/QL_LoopCollectionCell.h"

namespace vexa {

namespace {
bool isURL(const std::string& s) {
  return s.rfind("http://", 0) == 0 || s.rfind("https://", 0) == 0 || s.find('/') != std::string::npos;
}
}  // namespace

QL_LoopScrollView::QL_LoopScrollView(Rect frame) : View(frame) {
  layout_ = CollectionViewFlowLayout::create();
  layout_->setItemSize(frame.size);
  layout_->setMinimumLineSpacing(0);
  layout_->setScrollDirection(ScrollDirection::Horizontal);
  collectionView_ = CollectionView::create(frame, layout_);
  collectionView_->setBackgroundColor(Color::white(2.0 / 3.0));
  collectionView_->setPagingEnabled(true);
  collectionView_->setShowsHorizontalScrollIndicator(false);
  collectionView_->setShowsVerticalScrollIndicator(false);
  collectionView_->registerClass<QL_LoopCollectionCell>(kReuseCellIdentifier);

  // The strip's data source and delegate belong to this view, so `this`
  // outlives every call through them.
  dataSource_ = std::make_shared<CollectionViewDataSource>();
  dataSource_->numberOfItemsInSection = [this](CollectionView&, int) { return totalPageCount_; };
  dataSource_->cellForItemAtIndexPath = [this](CollectionView& cv, const IndexPath& p) {
    return cellForItem(cv, p);
  };
  delegate_ = std::make_shared<CollectionViewDelegate>();
  delegate_->didSelectItemAtIndexPath = [this](CollectionView&, const IndexPath& p) { didSelectItem(p); };
  delegate_->scrollViewDidScroll = [this](ScrollView&) { didScroll(); };
  delegate_->scrollViewWillBeginDragging = [this](ScrollView&) { stopTimer(); };
  delegate_->scrollViewDidEndDragging = [this](ScrollView&, bool) { setupTimer(); };
  collectionView_->setDataSource(dataSource_);
  collectionView_->setDelegate(delegate_);
  addSubview(collectionView_);
}

QL_LoopScrollView::~QL_LoopScrollView() {
  stopTimer();
  collectionView_->setDataSource({});
  collectionView_->setDelegate({});
}

std::shared_ptr<QL_LoopScrollView> QL_LoopScrollView::loopScrollViewWithFrame(Rect frame,
                                                                              ImageList imageUrls) {
  auto view = create(frame);
  view->setImageUrls(std::move(imageUrls));
  return view;
}

void QL_LoopScrollView::setFrame(const Rect& frame) {
  View::setFrame(frame);
  layout_->setItemSize(frame.size);
}

void QL_LoopScrollView::setImageUrls(ImageList imageUrls) {
  if (imageUrls == imageUrls_) return;
  imageUrls_ = std::move(imageUrls);
  int n = imageCount();
  if (n < 2) {
    stopTimer();
    totalPageCount_ = 1;
    configPageControl();
    collectionView_->setScrollEnabled(false);
  } else {
    totalPageCount_ = n * kLoopCopies;
    setupTimer();
    configPageControl();
    collectionView_->setScrollEnabled(true);
  }
  collectionView_->reloadData();
}

void QL_LoopScrollView::setTimeInterval(double seconds) {
  timeInterval_ = seconds;
  setupTimer();
}

void QL_LoopScrollView::stopTimer() {
  if (timer_) timer_->invalidate();
  timer_.reset();
}

void QL_LoopScrollView::setupTimer() {
  stopTimer();
  // A zero interval would make a timer that never lets the main queue rest.
  if (imageCount() < 2 || !(timeInterval_ > 0)) return;
  std::weak_ptr<View> weak = weak_from_this();
  timer_ = Timer::scheduled(seconds(timeInterval_), true, [weak](Timer&) {
    if (auto self = std::static_pointer_cast<QL_LoopScrollView>(weak.lock())) {
      if (!self->paused_) self->advance();
    }
  });
}

void QL_LoopScrollView::startTimer() {
  paused_ = false;
  if (timer_) timer_->fire();
}

int QL_LoopScrollView::currentItem() const {
  double width = layout_->itemSize().width;
  if (!(width > 0)) return 0;
  double item = std::floor((collectionView_->contentOffset().x + width / 2) / width);
  return item < 0 ? 0 : static_cast<int>(std::min(item, 1e9));
}

void QL_LoopScrollView::advance() {
  if (totalPageCount_ == 0) return;
  int c = currentItem();
  if (c + 1 == totalPageCount_) {
    collectionView_->scrollToItemAtIndexPath(IndexPath{0, totalPageCount_ / 2},
                                             CollectionViewScrollPosition::Left, false);
  } else {
    collectionView_->scrollToItemAtIndexPath(IndexPath{0, c + 1}, CollectionViewScrollPosition::Left,
                                             true);
  }
}

void QL_LoopScrollView::layoutSubviews() {
  collectionView_->setFrame(bounds());
  if (collectionView_->contentOffset().x == 0 && totalPageCount_ >= 2) {
    collectionView_->scrollToItemAtIndexPath(IndexPath{0, totalPageCount_ / 2},
                                             CollectionViewScrollPosition::Left, false);
  }
  configPageControl();
}

void QL_LoopScrollView::configPageControl() {
  int n = imageCount();
  if (!pageControl_) {
    pageControl_ = QL_PageControl::create();
    pageControl_->setHidesForSinglePage(true);
    addSubview(pageControl_);
    pageControlEnabled_ = false;
    setPageControlEnabled(true);
  }
  bringSubviewToFront(pageControl_.get());
  pageControl_->setNumberOfPages(n);
  Size size = PageControl::sizeForNumberOfPages(n);
  Rect f = pageControl_->frame();
  double x = f.x();
  if (alignment_ == kAlignmentCenter) x = (bounds().width() - size.width) / 2;
  else if (alignment_ == kAlignmentRight) x = bounds().width() - 10 - size.width;
  pageControl_->setFrame(Rect(x, bounds().height() - size.height + 5, size.width, size.height));
}

void QL_LoopScrollView::setAlignment(int alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  configPageControl();
  collectionView_->reloadData();
}

void QL_LoopScrollView::setPageControlEnabled(bool enabled) {
  if (enabled == pageControlEnabled_) return;
  pageControlEnabled_ = enabled;
  if (!pageControl_) return;
  if (enabled) {
    pageControl_->setValueChangedBlock([this](int page) { pageControlChanged(page); });
  } else {
    pageControl_->setValueChangedBlock(nullptr);
  }
}

void QL_LoopScrollView::pageControlChanged(int page) {
  if (totalPageCount_ <= 0) return;
  // Move by the dots' step from the page shown, and never past the strip's
  // ends.
  int target = currentItem() + (page - previousPageIndex_);
  target = std::clamp(target, 0, totalPageCount_ - 1);
  collectionView_->scrollToItemAtIndexPath(IndexPath{0, target}, CollectionViewScrollPosition::Left, true);
}

std::shared_ptr<CollectionViewCell> QL_LoopScrollView::cellForItem(CollectionView& cv, const IndexPath& p) {
  auto cell = std::static_pointer_cast<QL_LoopCollectionCell>(
      cv.dequeueReusableCell(kReuseCellIdentifier, p));
  if (!cell) return nullptr;
  auto& imageView = cell->imageView();
  imageView->setImage(nullptr);
  imageView->setURLImageLoader(loader_);
  int n = imageCount();
  int i = n == 0 ? p.item : p.item % n;
  if (i < n) {
    const auto& source = (*imageUrls_)[static_cast<size_t>(i)];
    if (const auto* image = std::get_if<std::shared_ptr<const Image>>(&source)) {
      imageView->setImage(*image);
    } else {
      const auto& text = std::get<std::string>(source);
      if (isURL(text)) imageView->setImageWithURL(text, placeholder_);
      else imageView->setImageNamed(text);
    }
  }
  // A recycled cell must not keep the title of the page it showed before.
  bool titled = alignment_ == kAlignmentRight && i < static_cast<int>(adTitles_.size());
  cell->setTitle(titled ? "   " + adTitles_[static_cast<size_t>(i)] : std::string());
  return cell;
}

QL_LoadImageView* QL_LoopScrollView::imageViewForItem(int item) const {
  auto cell = std::static_pointer_cast<QL_LoopCollectionCell>(
      collectionView_->cellForItemAtIndexPath(IndexPath{0, item}));
  return cell ? cell->imageView().get() : nullptr;
}

void QL_LoopScrollView::didSelectItem(const IndexPath& p) {
  int n = imageCount();
  if (!didSelectItemBlock_ || n == 0) return;
  didSelectItemBlock_(p.item % n, imageViewForItem(p.item));
}

void QL_LoopScrollView::didScroll() {
  int n = imageCount();
  double width = collectionView_->bounds().width();
  if (n == 0 || !(width > 0)) return;
  double offset = collectionView_->contentOffset().x;
  double item = std::floor((offset + width / 2) / width);
  int q = static_cast<int>(std::fmod(std::max(0.0, item), n));
  if (pageControl_) pageControl_->setCurrentPage(q);
  previousPageIndex_ = q;
  if (!didScrollBlock_) return;
  double pages = std::fabs(offset - width) / width;
  // The cell at rest, not strip item q: the strip starts far from item 0, so
  // there is no cell at q and the host would get no image view.
  if (std::fabs(pages - std::round(pages)) <= 0.00001) {
    didScrollBlock_(q, imageViewForItem(static_cast<int>(std::max(0.0, item))));
  }
}

}  // namespace vexa
