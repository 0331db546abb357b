// Rendering: a full draw of a 375 x 216 keyboard scene (a 2 x 4 page grid of
// labelled, rounded, bordered cells over page dots) through the view tree,
// against the same picture drawn by hand with cairo and the text engine.
// The ratio is the view layer's overhead on top of the drawing itself.
#include <benchmark/benchmark.h>

#include <cmath>

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/PageControl.h"
#include "vexa/platform/ui/Renderer.h"
#include "vexa/platform/ui/TextEngine.h"
#include "vexa/shop/QLInputCollectionPageGridLayout.h"
#include "support/BitmapCanvas.h"

namespace {

using namespace vexa;

const char* const kNames[] = {"微笑", "大笑", "害羞", "点赞", "再见", "生气", "爱心", "晚安"};

struct Scene {
  std::shared_ptr<View> root = View::create(Rect(0, 0, 375, 216));
  std::shared_ptr<QLInputCollectionPageGridLayout> layout = QLInputCollectionPageGridLayout::create();
  std::shared_ptr<CollectionViewDataSource> source = std::make_shared<CollectionViewDataSource>();
  std::shared_ptr<QLInputCollectionPageGridLayoutDelegate> grid =
      std::make_shared<QLInputCollectionPageGridLayoutDelegate>();
  Scene() {
    root->setBackgroundColor(Color::rgb255(244, 244, 246));
    layout->setPageContentInsets(EdgeInsets{12, 15, 8, 15});
    layout->setItemSpacing(12);
    auto view = CollectionView::create(Rect(0, 0, 375, 186), layout);
    view->registerClass<CollectionViewCell>("cell");
    grid->rowsOfSection = [](int) { return 2; };
    grid->columsOfSection = [](int) { return 4; };
    layout->setGridLayoutDelegate(grid);
    source->numberOfItemsInSection = [](CollectionView&, int) { return 16; };
    source->cellForItemAtIndexPath = [](CollectionView& cv, const IndexPath& p) {
      auto cell = cv.dequeueReusableCell("cell", p);
      auto content = cell->contentView();
      content->setBackgroundColor(Color::whiteColor());
      content->setCornerRadius(8);
      content->setBorderWidth(0.5);
      auto label = Label::create(content->bounds());
      label->setText(kNames[p.item % 8]);
      label->setTextAlignment(TextAlignment::Center);
      content->addSubview(label);
      return cell;
    };
    view->setDataSource(source);
    auto dots = PageControl::create(Rect(0, 186, 375, 30));
    dots->setNumberOfPages(2);
    root->addSubview(view);
    root->addSubview(dots);
    root->layoutIfNeeded();
  }
};

void BM_RenderViewTree(benchmark::State& state) {
  MainQueue::shared().adoptCurrentThread();
  Scene scene;
  Renderer renderer(2);
  for (auto _ : state) {
    auto bitmap = renderer.renderToBitmap(*scene.root);
    benchmark::DoNotOptimize(bitmap.ok());
  }
}
BENCHMARK(BM_RenderViewTree)->Unit(benchmark::kMicrosecond);

void BM_BaselineHandDrawn(benchmark::State& state) {
  MainQueue::shared().adoptCurrentThread();
  const double w = (375 - 30 - 36) / 4.0, h = (186 - 20 - 10) / 2.0;
  for (auto _ : state) {
    Bitmap bitmap(750, 432);
    bench::BitmapCanvas canvas(bitmap, 2);
    cairo_t* cr = canvas.get();
    cairo_set_source_rgb(cr, 244 / 255.0, 244 / 255.0, 246 / 255.0);
    cairo_paint(cr);
    for (int i = 0; i < 8; ++i) {
      double x = 15 + (i % 4) * (w + 12), y = 12 + (i / 4) * (h + 10);
      cairo_new_sub_path(cr);
      cairo_arc(cr, x + w - 8, y + 8, 8, -M_PI / 2, 0);
      cairo_arc(cr, x + w - 8, y + h - 8, 8, 0, M_PI / 2);
      cairo_arc(cr, x + 8, y + h - 8, 8, M_PI / 2, M_PI);
      cairo_arc(cr, x + 8, y + 8, 8, M_PI, 3 * M_PI / 2);
      cairo_close_path(cr);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_fill_preserve(cr);
      cairo_set_line_width(cr, 0.5);
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_stroke(cr);
      Size s = TextEngine::shared().measure(kNames[i], Font::systemFont(17), w, 1);
      TextEngine::shared().draw(cr, kNames[i], Font::systemFont(17), Color::black(),
                                Rect(x, y + (h - s.height) / 2, w, s.height), TextAlignment::Center, 1);
    }
    for (int i = 0; i < 2; ++i) {
      cairo_arc(cr, 187.5 - 8 + i * 16, 201, 3.5, 0, 2 * M_PI);
      cairo_fill(cr);
    }
    benchmark::DoNotOptimize(bitmap.pixels());
  }
}
BENCHMARK(BM_BaselineHandDrawn)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
