#include <gtest/gtest.h>

#include "vexa/platform/ui/ImageAssets.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/shop/QL_LoopCollectionCell.h"
#include "vexa/shop/QL_LoopScrollView.h"
#include "vexa/store/image/QL_SDImageCache.h"
#include "support/MainQueueTesting.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

std::shared_ptr<const Image> solid(uint32_t argb) {
  auto bitmap = std::make_shared<Bitmap>(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) bitmap->setPixel(x, y, argb);
  return Image::still(bitmap);
}

QL_LoopScrollView::ImageList images(int n) {
  auto list = std::make_shared<std::vector<QL_LoopScrollView::ImageSource>>();
  for (int i = 0; i < n; ++i) list->push_back(solid(0xff000000u | static_cast<uint32_t>(i * 40)));
  return list;
}

struct Banner {
  std::shared_ptr<Window> window = Window::create(Rect(0, 0, 320, 400));
  std::shared_ptr<QL_LoopScrollView> loop;
  explicit Banner(int n) {
    loop = QL_LoopScrollView::loopScrollViewWithFrame(Rect(0, 0, 320, 150), images(n));
    window->addSubview(loop);
    loop->layoutIfNeeded();
  }
  void showItem(int item) {
    loop->collectionView()->setContentOffset(Point{item * 320.0, 0});
    loop->layoutIfNeeded();
  }
  double offset() const { return loop->collectionView()->contentOffset().x; }
};

TEST(LoopScrollView, OneImageMakesOneStillPageWithoutDotsOrTimer) {
  Banner b(1);
  EXPECT_EQ(b.loop->totalPageCount(), 1);
  EXPECT_EQ(b.loop->collectionView()->numberOfItemsInSection(0), 1);
  EXPECT_EQ(b.loop->timer(), nullptr);
  EXPECT_FALSE(b.loop->collectionView()->isScrollEnabled());
  ASSERT_NE(b.loop->pageControl(), nullptr);
  EXPECT_TRUE(b.loop->pageControl()->isHidden());
  EXPECT_EQ(b.offset(), 0);
}

TEST(LoopScrollView, ThreeImagesLoopFiftyTimesStartingInTheMiddle) {
  Banner b(3);
  EXPECT_EQ(b.loop->totalPageCount(), 150);
  EXPECT_EQ(b.offset(), 75 * 320);
  EXPECT_EQ(b.loop->currentItem(), 75);
  EXPECT_EQ(b.loop->pageControl()->currentPage(), 0);
  EXPECT_EQ(b.loop->pageControl()->numberOfPages(), 3);
  ASSERT_NE(b.loop->timer(), nullptr);
  EXPECT_EQ(b.loop->timer()->interval(), seconds(5));
  EXPECT_TRUE(b.loop->collectionView()->isScrollEnabled());
  // Only the page on screen has a cell.
  EXPECT_EQ(b.loop->collectionView()->indexPathsForVisibleItems(),
            (std::vector<IndexPath>{IndexPath{0, 75}}));
}

TEST(LoopScrollView, AdvanceAnimatesToTheNextItemAndJumpsBackFromTheLast) {
  Banner b(3);
  b.showItem(80);
  b.loop->timer()->fire();
  EXPECT_EQ(b.offset(), 81 * 320);
  ASSERT_TRUE(b.loop->collectionView()->lastAnimation().has_value());
  b.showItem(149);
  EXPECT_EQ(b.loop->pageControl()->currentPage(), 2);
  b.loop->timer()->fire();
  EXPECT_EQ(b.offset(), 75 * 320);
  EXPECT_EQ(b.loop->pageControl()->currentPage(), 0);
  b.loop->pauseTimer();
  b.loop->timer()->fire();
  EXPECT_EQ(b.offset(), 75 * 320);
  b.loop->startTimer();  // fires at once
  EXPECT_EQ(b.offset(), 76 * 320);
}

TEST(LoopScrollView, SameListObjectChangesNothingAnEqualCopyReloads) {
  Banner b(3);
  auto list = b.loop->imageUrls();
  Timer* timer = b.loop->timer();
  b.loop->setImageUrls(list);
  EXPECT_EQ(b.loop->timer(), timer);
  EXPECT_FALSE(b.loop->collectionView()->needsLayout());
  b.loop->setImageUrls(std::make_shared<std::vector<QL_LoopScrollView::ImageSource>>(*list));
  EXPECT_NE(b.loop->imageUrls(), list);
  EXPECT_TRUE(b.loop->collectionView()->needsLayout());  // reloaded
  b.loop->setImageUrls(nullptr);
  EXPECT_EQ(b.loop->timer(), nullptr);
  EXPECT_EQ(b.loop->totalPageCount(), 1);
}

TEST(LoopScrollView, TapReportsThePageOfTheItem) {
  Banner b(3);
  b.showItem(77);
  int page = -1;
  QL_LoadImageView* imageView = nullptr;
  b.loop->setDidSelectItemBlock([&](int p, QL_LoadImageView* v) {
    page = p;
    imageView = v;
  });
  b.window->touches().tap(Point{100, 50}, 0);
  EXPECT_EQ(page, 2);
  ASSERT_NE(imageView, nullptr);
  EXPECT_EQ(imageView->image(), std::get<0>((*b.loop->imageUrls())[2]));
}

TEST(LoopScrollView, RightAlignmentMovesTheDotsAndShowsTitles) {
  Banner b(3);
  b.loop->setAdTitles({"新品", "热门"});
  Rect dots = b.loop->pageControl()->frame();
  EXPECT_EQ(dots.midX(), 160);
  EXPECT_EQ(dots.maxY(), 155);
  auto cell = [&](int item) {
    return std::static_pointer_cast<QL_LoopCollectionCell>(
        b.loop->collectionView()->cellForItemAtIndexPath(IndexPath{0, item}));
  };
  EXPECT_TRUE(cell(75)->titleLabel()->isHidden());
  b.loop->setAlignment(QL_LoopScrollView::kAlignmentRight);
  b.loop->layoutIfNeeded();
  EXPECT_EQ(b.loop->pageControl()->frame().maxX(), 310);
  EXPECT_EQ(cell(75)->titleLabel()->text(), "   新品");
  EXPECT_FALSE(cell(75)->titleLabel()->isHidden());
  EXPECT_EQ(cell(75)->titleLabel()->frame(), Rect(0, 120, 320, 30));
  b.showItem(77);  // page 2 has no title: a recycled cell must not keep one
  EXPECT_EQ(cell(77)->titleLabel()->text(), "");
  EXPECT_TRUE(cell(77)->titleLabel()->isHidden());
}

TEST(LoopScrollView, DotTapsStepOnePageAndStayInsideTheStrip) {
  Banner b(3);
  b.showItem(76);
  Rect dots = b.loop->pageControl()->frame();
  b.window->touches().tap(Point{dots.maxX() - 2, dots.midY()}, 0);  // right half: page 2
  EXPECT_EQ(b.offset(), 77 * 320);
  b.window->touches().tap(Point{dots.minX() + 2, dots.midY()}, 1);  // left half: page 1
  EXPECT_EQ(b.offset(), 76 * 320);
  b.showItem(149);
  b.loop->pageControl()->valueChangedBlock()(5);
  EXPECT_EQ(b.offset(), 149 * 320);
  b.showItem(0);
  b.loop->pageControl()->valueChangedBlock()(-4);
  EXPECT_EQ(b.offset(), 0);
  b.loop->setPageControlEnabled(false);
  EXPECT_FALSE(b.loop->pageControl()->valueChangedBlock());
}

TEST(LoopScrollView, DraggingStopsTheTimerAndReleasingRestartsIt) {
  Banner b(3);
  b.window->touches().touchDown(Point{200, 50}, 0);
  b.window->touches().touchMove(Point{150, 50}, 0.2);
  EXPECT_EQ(b.loop->timer(), nullptr);
  b.window->touches().touchUp(Point{150, 50}, 0.4);
  EXPECT_NE(b.loop->timer(), nullptr);
  b.loop->setTimeInterval(0);  // no timer that would never let the queue rest
  EXPECT_EQ(b.loop->timer(), nullptr);
  b.loop->setTimeInterval(2);
  EXPECT_EQ(b.loop->timer()->interval(), seconds(2));
}

TEST(LoopScrollView, ScrollBlockReportsPagesAtRest) {
  Banner b(3);
  std::vector<int> pages;
  std::vector<QL_LoadImageView*> views;
  b.loop->setDidScrollBlock([&](int p, QL_LoadImageView* v) {
    pages.push_back(p);
    views.push_back(v);
  });
  b.loop->collectionView()->setContentOffset(Point{76 * 320.0 + 100, 0});
  b.loop->collectionView()->layoutIfNeeded();  // a drag lays out the pages it passes
  b.loop->collectionView()->setContentOffset(Point{77 * 320.0, 0});
  EXPECT_EQ(pages, std::vector<int>{2});
  ASSERT_EQ(views.size(), 1u);
  EXPECT_NE(views[0], nullptr);
  auto rest = std::static_pointer_cast<QL_LoopCollectionCell>(
      b.loop->collectionView()->cellForItemAtIndexPath(IndexPath{0, 77}));
  ASSERT_NE(rest, nullptr);
  EXPECT_EQ(views[0], rest->imageView().get()) << "the image view of the page at rest";
}

TEST(LoopScrollView, PagesLoadNamesAndUrlsWithThePlaceholderFirst) {
  auto named = solid(0xff112233);
  ImageAssets::shared().registerImage("banner_local", named);
  auto list = std::make_shared<std::vector<QL_LoopScrollView::ImageSource>>();
  list->push_back(std::string("banner_local"));
  list->push_back(std::string("https://files.example/banner.png"));
  auto placeholder = solid(0xff999999);
  auto loaded = solid(0xff00ff00);
  std::function<void(std::shared_ptr<const Image>)> pending;
  std::vector<std::string> asked;

  auto window = Window::create(Rect(0, 0, 320, 400));
  auto loop = QL_LoopScrollView::create(Rect(0, 0, 320, 150));
  loop->setPlaceholder(placeholder);
  loop->setURLImageLoader([&](const std::string& url, std::function<void(std::shared_ptr<const Image>)> done) {
    asked.push_back(url);
    pending = std::move(done);
  });
  loop->setImageUrls(list);
  window->addSubview(loop);
  loop->layoutIfNeeded();
  auto cell = [&](int item) {
    return std::static_pointer_cast<QL_LoopCollectionCell>(
        loop->collectionView()->cellForItemAtIndexPath(IndexPath{0, item}));
  };
  EXPECT_EQ(cell(50)->imageView()->image(), named);  // item 50: page 0
  loop->collectionView()->setContentOffset(Point{51 * 320.0, 0});
  loop->layoutIfNeeded();
  EXPECT_EQ(asked, std::vector<std::string>{"https://files.example/banner.png"});
  EXPECT_EQ(cell(51)->imageView()->image(), placeholder);
  pending(loaded);
  EXPECT_EQ(cell(51)->imageView()->image(), loaded);
  ImageAssets::shared().registerImage("banner_local", nullptr);
}

TEST(LoopScrollView, LoadImageViewTakesUrlImagesFromTheSharedCache) {
  test::ScopedDataRoot root;
  auto cached = solid(0xff336699);
  const std::string url = "https://files.example/cached-banner.png";
  QL_SDImageCache::sharedImageCache()->storeImage(cached, url, false);
  auto view = QL_LoadImageView::create(Rect(0, 0, 10, 10));
  auto placeholder = solid(0xff999999);
  view->setImageWithURL(url, placeholder);
  EXPECT_TRUE(test::runUntil([&] { return view->image() == cached; }));
  EXPECT_EQ(view->imageURL(), url);
  view->setImage(placeholder);  // a direct image ends the URL's claim
  EXPECT_EQ(view->imageURL(), "");
}

TEST(LoopScrollView, LoadImageViewTapBlockAddsAndRemovesItsRecogniser) {
  auto view = QL_LoadImageView::create(Rect(0, 0, 10, 10));
  EXPECT_TRUE(view->clipsToBounds());
  EXPECT_FALSE(view->isUserInteractionEnabled());
  view->setTapImageViewBlock([](QL_LoadImageView&) {});
  EXPECT_TRUE(view->isUserInteractionEnabled());
  EXPECT_EQ(view->gestureRecognizers().size(), 1u);
  view->setTapImageViewBlock(nullptr);
  EXPECT_FALSE(view->isUserInteractionEnabled());
  EXPECT_TRUE(view->gestureRecognizers().empty());
}

}  // namespace
}  // namespace vexa
