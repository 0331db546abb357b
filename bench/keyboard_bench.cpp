// The emotion keyboard: from reloadData to the first rendered frame of a
// 375 x 216 keyboard at scale 2 whose 21 thumbnails are already decoded in
// memory, and one frame of a page swipe, against the same page drawn by
// hand with cairo (BM_BaselineHandDrawnPage). The ratio is what the view
// tree, the grid layout and the cell recycling cost on top of the drawing.
//
// BM_KeyboardOverPackages/N builds a keyboard over N packages of 24 emojis,
// swipes through 40 pages and reports the cells alive ("cells") and the
// heap the keyboard holds beyond the records ("kb_bytes"; "records_bytes" is what the N package records take):
// cells stay those on screen and their neighbours, and the keyboard's heap
// stays the same, whatever N is.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cmath>
#include <filesystem>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/keyboard/QLEmotionKeyboard.h"
#include "vexa/keyboard/QLEmotionKeyboardSession.h"
#include "vexa/keyboard/QLInputItemGroupView.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/SecureItemStore.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/ImagePainter.h"
#include "vexa/platform/ui/Renderer.h"
#include "vexa/store/QLPackageCache.h"
#include "support/BitmapCanvas.h"
#include "support/RatioReporter.h"

namespace {

using namespace vexa;

constexpr int kEmojisPerPackage = 24;

std::shared_ptr<const Image> drawFace(int i) {
  auto bitmap = std::make_shared<Bitmap>(60, 60);
  {
    bench::BitmapCanvas canvas(*bitmap, 1);
    cairo_arc(canvas.get(), 30, 30, 27, 0, 2 * M_PI);
    cairo_set_source_rgb(canvas.get(), 1, 0.8, 0.1 + 0.03 * i);
    cairo_fill(canvas.get());
  }
  return Image::still(bitmap, 2);
}

// A store in a scratch folder holding one default package, the records of
// N packages, and a data source answering as the centre does.
struct Fixture {
  std::filesystem::path dir;
  std::unique_ptr<SecureItemStore> keychain;
  std::unique_ptr<QLPackageCache> store;
  std::unique_ptr<QLDownloadManager> manager;
  std::vector<std::shared_ptr<QLPackage>> packages;
  std::vector<std::shared_ptr<const Image>> thumbs;  // the memory cache's 21 pictures
  std::shared_ptr<QLEmotionKeyboardDataSource> source = std::make_shared<QLEmotionKeyboardDataSource>();
  std::shared_ptr<QLEmotionKeyboardDelegate> delegate = std::make_shared<QLEmotionKeyboardDelegate>();
  std::shared_ptr<QLEmotionKeyboardSession> session = std::make_shared<QLEmotionKeyboardSession>();

  explicit Fixture(int packageCount) {
    Screen::setMain(Screen::phone375x667());
    char pattern[] = "/tmp/vexa-kb-bench-XXXXXX";
    dir = mkdtemp(pattern);
    keychain = std::make_unique<SecureItemStore>(dir / "keychain");
    store = std::make_unique<QLPackageCache>(dir / "store");
    manager = std::make_unique<QLDownloadManager>("", keychain.get());
    manager->setPackageCache(store.get());
    for (int i = 0; i < 21; ++i) thumbs.push_back(drawFace(i));
    for (int p = 0; p < packageCount; ++p) {
      auto package = std::make_shared<QLPackage>();
      package->setGuid("pkg-" + std::to_string(p));
      package->setIsEmoji(true);
      QLPackage::Emojis emojis;
      for (int e = 0; e < kEmojisPerPackage; ++e) {
        auto emoji = std::make_shared<QLEmoji>();
        emoji->setGuid(package->guid() + "-" + std::to_string(e));
        emoji->setEmo_code("code" + std::to_string(p) + "_" + std::to_string(e));
        emojis.push_back(emoji);
      }
      package->setEmojis(std::move(emojis));
      packages.push_back(package);
    }
    // The keyboard shows groups only while the store holds default packages.
    auto defaults = std::make_shared<QLPackage>();
    defaults->setGuid("pkg-default");
    defaults->setIsDefault(true);
    if (!store->storePackage(defaults)) std::abort();
    source->numberOfSectionInKeyboard = [this](QLEmotionKeyboard&) { return static_cast<int>(packages.size()); };
    source->numberOfSectionsInKeyboard = source->numberOfSectionInKeyboard;
    source->numberOfItemsInSection = [](QLEmotionKeyboard&, int) { return kEmojisPerPackage; };
    source->thumbForItemAtIndexPath = [this](QLEmotionKeyboard&, const IndexPath& p) {
      return thumbs[static_cast<size_t>(p.item) % thumbs.size()];
    };
    source->imageInSection = [this](QLEmotionKeyboard&, int) { return thumbs[0]; };
    source->shouldAddBackspaceInSection = [](QLEmotionKeyboard&, int) { return true; };
    source->indexOfSelectedSectionInKeyboard = [](QLEmotionKeyboard&) { return size_t{0}; };
    delegate->rowsInSection = [](QLEmotionKeyboard&, int) { return size_t{3}; };
    delegate->columnsInSection = [](QLEmotionKeyboard&, int) { return size_t{7}; };
    MainQueue::shared().drain();
  }
  ~Fixture() {
    manager.reset();
    store->waitForDiskWork();
    store.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }

  std::shared_ptr<QLEmotionKeyboard> makeKeyboard() {
    auto keyboard = QLEmotionKeyboard::create(Rect(0, 0, 375, 216), *manager, session);
    MainQueue::shared().drain();  // the requests fail at once: no service is configured
    keyboard->setDelegate(delegate);
    keyboard->setDataSource(source);
    keyboard->layoutIfNeeded();
    return keyboard;
  }
};

size_t heapInUse() { return mallinfo2().uordblks; }

void BM_ReloadToFirstFrame(benchmark::State& state) {
  MainQueue::shared().adoptCurrentThread();
  Fixture fixture(3);
  auto keyboard = fixture.makeKeyboard();
  Renderer renderer(2);
  for (auto _ : state) {
    keyboard->reloadData();
    keyboard->layoutIfNeeded();
    auto frame = renderer.renderToBitmap(*keyboard);
    benchmark::DoNotOptimize(frame.ok());
  }
}
BENCHMARK(BM_ReloadToFirstFrame)->Unit(benchmark::kMicrosecond);

void BM_PageSwipeFrame(benchmark::State& state) {
  MainQueue::shared().adoptCurrentThread();
  Fixture fixture(3);
  auto keyboard = fixture.makeKeyboard();
  auto& grid = *keyboard->groupView()->collectionView();
  Renderer renderer(2);
  const double page = grid.frame().width();
  int step = 0;
  for (auto _ : state) {
    // Back and forth over the first three pages, settling on each.
    const int target = (step++ % 4 < 2) ? step % 4 : 4 - step % 4;
    grid.setContentOffset(Point{target * page, 0}, false);
    keyboard->layoutIfNeeded();
    auto frame = renderer.renderToBitmap(*keyboard);
    benchmark::DoNotOptimize(frame.ok());
  }
}
BENCHMARK(BM_PageSwipeFrame)->Unit(benchmark::kMicrosecond);

// The same page as the keyboard shows it (background, 20 faces and the
// backspace cell's place, hairlines, page dots, tool bar with four tabs),
// drawn straight into a surface.
void BM_BaselineHandDrawnPage(benchmark::State& state) {
  MainQueue::shared().adoptCurrentThread();
  std::vector<std::shared_ptr<const Image>> thumbs;
  for (int i = 0; i < 21; ++i) thumbs.push_back(drawFace(i));
  const double w = (375 - 38 - 6 * 19) / 7.0, h = (177 - 1 - 13 - 20 - 20) / 3.0;
  for (auto _ : state) {
    Bitmap bitmap(750, 432);
    bench::BitmapCanvas canvas(bitmap, 2);
    cairo_t* cr = canvas.get();
    cairo_set_source_rgb(cr, 0xf8 / 255.0, 0xf8 / 255.0, 0xf8 / 255.0);
    cairo_paint(cr);
    for (int i = 0; i < 21; ++i) {
      const double x = 19 + (i % 7) * (w + 19), y = 11.5 + (i / 7) * (h + 10);
      const double side = std::min(w, h);
      ImagePainter::draw(cr, *thumbs[static_cast<size_t>(i)], Rect(x + (w - side) / 2, y + (h - side) / 2, side, side));
    }
    cairo_set_source_rgb(cr, 0xde / 255.0, 0xde / 255.0, 0xde / 255.0);
    cairo_rectangle(cr, 0, 0, 375, 0.5);
    cairo_rectangle(cr, 0, 176.5, 375, 0.5);
    cairo_fill(cr);
    for (int i = 0; i < 2; ++i) cairo_arc(cr, 179.5 + i * 16, 170.5, 3.5, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 0, 177, 375, 39);
    cairo_fill(cr);
    for (int i = 0; i < 4; ++i) ImagePainter::draw(cr, *thumbs[0], Rect(57 + i * 57 + 13.5, 181.5, 30, 30));
    benchmark::DoNotOptimize(bitmap.pixels());
  }
}
BENCHMARK(BM_BaselineHandDrawnPage)->Unit(benchmark::kMicrosecond);

void BM_KeyboardOverPackages(benchmark::State& state) {
  MainQueue::shared().adoptCurrentThread();
  const int packages = static_cast<int>(state.range(0));
  const size_t beforeRecords = heapInUse();
  Fixture fixture(packages);
  const size_t records = heapInUse() - beforeRecords;
  size_t cells = 0, bytes = 0;
  for (auto _ : state) {
    const size_t before = heapInUse();
    auto keyboard = fixture.makeKeyboard();
    auto& grid = *keyboard->groupView()->collectionView();
    const double page = grid.frame().width();
    const int pages = static_cast<int>(grid.contentSize().width / page);
    for (int p = 1; p <= 40; ++p) {
      grid.setContentOffset(Point{std::min(p, pages - 1) * page, 0}, false);
      keyboard->layoutIfNeeded();
    }
    MainQueue::shared().drain();
    cells = grid.visibleCells().size();
    bytes = heapInUse() - before;
    benchmark::DoNotOptimize(keyboard.get());
  }
  state.counters["cells"] = static_cast<double>(cells);
  state.counters["kb_bytes"] = static_cast<double>(bytes);
  state.counters["records_bytes"] = static_cast<double>(records);
}
BENCHMARK(BM_KeyboardOverPackages)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  return vexa::bench::runWithRatios(argc, argv, "BM_BaselineHandDrawnPage");
}
