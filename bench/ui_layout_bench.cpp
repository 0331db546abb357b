// Page grid layout: prepareLayout() of 10,000 cells in 50 sections followed
// by the query of one page (what a layout pass asks), against the bare frame
// arithmetic of every cell written into a flat array (what a layout that
// kept every frame would pay at least). The layout keeps per-section
// geometry only and computes frames when asked.
#include <benchmark/benchmark.h>

#include <vector>

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/shop/QLInputCollectionPageGridLayout.h"

namespace {

using namespace vexa;

constexpr int kSections = 50;
constexpr int kItemsPerSection = 200;

struct Fixture {
  std::shared_ptr<QLInputCollectionPageGridLayout> layout = QLInputCollectionPageGridLayout::create();
  std::shared_ptr<CollectionView> view = CollectionView::create(Rect(0, 0, 375, 216), layout);
  std::shared_ptr<CollectionViewDataSource> source = std::make_shared<CollectionViewDataSource>();
  std::shared_ptr<QLInputCollectionPageGridLayoutDelegate> grid =
      std::make_shared<QLInputCollectionPageGridLayoutDelegate>();
  Fixture() {
    source->numberOfSectionsInCollectionView = [](CollectionView&) { return kSections; };
    source->numberOfItemsInSection = [](CollectionView&, int) { return kItemsPerSection; };
    grid->rowsOfSection = [](int s) { return s % 2 ? 2 : 3; };
    grid->columsOfSection = [](int s) { return s % 2 ? 4 : 7; };
    layout->setGridLayoutDelegate(grid);
    layout->setPageContentInsets(EdgeInsets{10, 15, 10, 15});
    view->setDataSource(source);
    view->numberOfSections();
  }
};

void BM_PageGridPrepareLayout(benchmark::State& state) {
  MainQueue::shared().adoptCurrentThread();
  Fixture f;
  for (auto _ : state) {
    f.layout->prepareLayout();
    benchmark::DoNotOptimize(f.layout->layoutAttributesForElementsInRect(Rect(0, 0, 375, 216)).size());
  }
  state.SetItemsProcessed(state.iterations() * kSections * kItemsPerSection);
}
BENCHMARK(BM_PageGridPrepareLayout)->Unit(benchmark::kMicrosecond);

void BM_BaselineFrameArithmetic(benchmark::State& state) {
  const double W = 375, H = 216;
  const EdgeInsets e{10, 15, 10, 15};
  std::vector<Rect> frames;
  for (auto _ : state) {
    frames.clear();
    frames.reserve(kSections * kItemsPerSection);
    double origin = 0;
    for (int s = 0; s < kSections; ++s) {
      int rows = s % 2 ? 2 : 3, cols = s % 2 ? 4 : 7, per = rows * cols;
      double w = (W - e.left - e.right - (cols - 1) * 10.0) / cols;
      double h = (H - e.top - e.bottom - (rows - 1) * 10.0) / rows;
      for (int i = 0; i < kItemsPerSection; ++i) {
        int page = i / per, row = (i % per) / cols, col = i % cols;
        frames.emplace_back(origin + page * W + e.left + col * (w + 10), e.top + row * (h + 10), w, h);
      }
      origin += ((kItemsPerSection + per - 1) / per) * W;
    }
    benchmark::DoNotOptimize(frames.data());
  }
  state.SetItemsProcessed(state.iterations() * kSections * kItemsPerSection);
}
BENCHMARK(BM_BaselineFrameArithmetic)->Unit(benchmark::kMicrosecond);

void BM_PageGridRectQueryOnePage(benchmark::State& state) {
  MainQueue::shared().adoptCurrentThread();
  Fixture f;
  f.layout->prepareLayout();
  double x = f.layout->originXForSection(25);
  for (auto _ : state) {
    auto attrs = f.layout->layoutAttributesForElementsInRect(Rect(x, 0, 375, 216));
    benchmark::DoNotOptimize(attrs.data());
  }
}
BENCHMARK(BM_PageGridRectQueryOnePage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
