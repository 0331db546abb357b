// One frame of the shop list during a drag: the shop screen on the reference
// service's sample catalogue in a 375 x 667 window at scale 2, its covers
// and banners in the image cache's memory; each iteration moves the finger
// 9 points (rows are recycled and filled as they come in), lays out and
// renders the window. The baseline draws the same picture by hand with
// cairo and the text engine: bar, banner, headers, rows with cover, texts,
// control and hairlines, at the same offsets. The ratio is the frame time
// over the baseline's in the same run (CPU time).
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/Directories.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/ui/Application.h"
#include "vexa/platform/ui/ImagePainter.h"
#include "vexa/platform/ui/Renderer.h"
#include "vexa/platform/ui/TextEngine.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/theme/QLEmotionColor.h"
#include "vexa/theme/QLEmotionGlobal.h"
#include "service/EmoticonService.h"
#include "service/SampleCatalog.h"
#include "vexa/shop/QLShopViewController.h"
#include "vexa/store/image/QL_SDImageCache.h"
#include "vexa/store/image/loader/QLImageLoader.h"

namespace {

using namespace vexa;
namespace fs = std::filesystem;

constexpr double kWidth = 375, kHeight = 667, kScale = 2, kStep = 9;

struct Scene {
  std::unique_ptr<service::EmoticonService> service;
  std::unique_ptr<QLDownloadManager> manager;
  std::shared_ptr<Window> window;
  std::shared_ptr<ViewController> host;
  std::shared_ptr<QLShopViewController> shop;
  std::string error;
  double maxOffset = 0;
};

std::shared_ptr<const Image> cached(const std::string& url) {
  return QL_SDImageCache::sharedImageCache()->imageFromMemoryCacheForKey(UrlEscaping::escapeURL(url));
}

Scene& scene() {
  static Scene* s = [] {
    auto* out = new Scene();
    MainQueue::shared().adoptCurrentThread();
    std::string pattern = (fs::temp_directory_path() / "vexa-shop-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
      out->error = "no temporary directory";
      return out;
    }
    Directories::setRoot(fs::path(pattern));
    Screen::setMain(Screen::phone375x667());
    auto catalog = service::SampleCatalog::load(fs::path(pattern) / "catalog");
    if (!catalog) {
      out->error = catalog.error().toString();
      return out;
    }
    auto started = service::EmoticonService::start({.catalog = *catalog});
    if (!started) {
      out->error = started.error().toString();
      return out;
    }
    out->service = std::move(*started);
    out->manager = std::make_unique<QLDownloadManager>(out->service->apiBase());
    out->manager->setAppId(service::EmoticonService::kDemoAppId);
    out->manager->setAppSecret(service::EmoticonService::kDemoAppSecret);
    out->window = Window::create(Rect(0, 0, kWidth, kHeight));
    out->host = std::make_shared<ViewController>();
    out->window->setRootViewController(out->host);
    out->window->makeKeyAndVisible();
    QLShopViewController::presentShop(*out->manager);
    out->shop = std::dynamic_pointer_cast<QLShopViewController>(Application::shared().topViewController());
    auto& queue = MainQueue::shared();
    auto loaded = [out] { return out->shop && !out->shop->isLoading() && !out->shop->categories().empty(); };
    if (!out->shop || !queue.runUntil(loaded, std::chrono::seconds(30))) {
      out->error = "the shop did not load";
      return out;
    }
    // Every row once on screen, so that every cover is fetched into memory.
    auto& table = *out->shop->tableView();
    out->window->layoutIfNeeded();
    out->maxOffset = table.contentSize().height - table.bounds().height();
    for (double y = 0; y <= out->maxOffset + kStep; y += 100) {
      table.setContentOffset(Point{0, std::min(y, out->maxOffset)});
      out->window->layoutIfNeeded();
    }
    table.setContentOffset(Point{0, 0});
    out->window->layoutIfNeeded();
    auto allCached = [out] {
      const auto& categories = out->shop->categories();
      for (size_t i = 0; i < categories.size(); ++i) {
        for (const auto& package : categories[i]->packages()) {
          // Section 0 shows banners, the others covers.
          const std::string& url = i == 0 ? package->banner() : package->cover();
          if (!url.empty() && !cached(url)) return false;
        }
      }
      return true;
    };
    if (!queue.runUntil(allCached, std::chrono::seconds(30))) out->error = "covers did not load";
    return out;
  }();
  return *s;
}

// The finger's height for frame k: up and down between the two ends of the
// list, so every frame moves it by kStep.
double fingerY(int frame, double range) {
  const int steps = std::max(1, static_cast<int>(range / kStep));
  const int k = frame % (2 * steps);
  return 620 - kStep * (k < steps ? k : 2 * steps - k);
}

void BM_ShopListFrameDuringDrag(benchmark::State& state) {
  Scene& s = scene();
  if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
  auto& touches = s.window->touches();
  double t = 0;
  touches.touchDown(Point{187, 620}, t);
  // Past the drag threshold, so that every later move scrolls.
  touches.touchMove(Point{187, 600}, t += 0.016);
  touches.touchMove(Point{187, 620}, t += 0.016);
  Renderer renderer(kScale);
  int frame = 0;
  double lowest = 1e9, highest = -1e9;
  for (auto _ : state) {
    touches.touchMove(Point{187, fingerY(++frame, std::min(s.maxOffset, 450.0))}, t += 0.016);
    s.window->layoutIfNeeded();
    auto bitmap = renderer.renderToBitmap(*s.window);
    benchmark::DoNotOptimize(bitmap.ok());
    const double y = s.shop->tableView()->contentOffset().y;
    lowest = std::min(lowest, y);
    highest = std::max(highest, y);
  }
  touches.touchUp(Point{187, 620}, t + 0.016);
  if (state.iterations() > 60 && highest - lowest < 300) state.SkipWithError("the drag did not scroll the list");
  MainQueue::shared().drain();
  s.shop->tableView()->setContentOffset(Point{0, 0});
}

// --- The same picture by hand ------------------------------------------------

struct HandRow {
  std::string title, detail;
  std::shared_ptr<const Image> cover;
  bool downloaded = false;
};
struct HandSection {
  std::string name;
  std::vector<HandRow> rows;
};

void fill(cairo_t* cr, const Rect& r, const Color& c) {
  cairo_set_source_rgba(cr, c.red(), c.green(), c.blue(), c.alpha());
  cairo_rectangle(cr, r.x(), r.y(), r.width(), r.height());
  cairo_fill(cr);
}

void text(cairo_t* cr, const std::string& s, const Font& font, const Color& color, const Rect& r,
          TextAlignment alignment, int lines) {
  TextEngine::shared().draw(cr, s, font, color, r, alignment, lines);
}

void drawHand(cairo_t* cr, const std::vector<HandSection>& sections,
              const std::shared_ptr<const Image>& banner, double offset) {
  auto theme = QLEmotionGlobal::sharedInstance().theme();
  const Color separator = theme->separateColor();
  fill(cr, Rect(0, 0, kWidth, kHeight), Color::whiteColor());
  cairo_save(cr);
  cairo_rectangle(cr, 0, 64, kWidth, kHeight - 64);
  cairo_clip(cr);
  cairo_translate(cr, 0, 64 - offset);
  const double visibleTop = offset, visibleBottom = offset + kHeight - 64;
  double y = 0;
  if (y + 200 > visibleTop && banner) ImagePainter::draw(cr, *banner, Rect(0, 0, kWidth, 200));
  y += 200;
  const Font titleFont = theme->shopPackageTitleFont(), detailFont = theme->shopPackageSubTitleFont();
  const Font categoryFont = theme->shopCategoryFont(), buttonFont = theme->downloadTitleFont();
  for (const auto& section : sections) {
    if (y + 50 > visibleTop && y < visibleBottom) {
      fill(cr, Rect(0, y, kWidth, 50), Color::whiteColor());
      Size size = TextEngine::shared().measure(section.name, categoryFont, 0, 1);
      text(cr, section.name, categoryFont, theme->shopCategoryColor(), Rect(14, y + 21, kWidth, size.height),
           TextAlignment::Left, 1);
      fill(cr, Rect(14, y + 49.5, kWidth - 28, 0.5), separator);
    }
    y += 50;
    for (const auto& row : section.rows) {
      if (y + 88 > visibleTop && y < visibleBottom) {
        fill(cr, Rect(0, y, kWidth, 88), Color::whiteColor());
        if (row.cover) ImagePainter::draw(cr, *row.cover, Rect(14, y + 9, 70, 70));
        const double tw = 290 - 84 - 18;
        Size title = TextEngine::shared().measure(row.title, titleFont, 0, 1);
        text(cr, row.title, titleFont, theme->shopPackageTitleColor(), Rect(93, y + 13, tw, title.height),
             TextAlignment::Left, 1);
        Size detail = TextEngine::shared().measure(row.detail, detailFont, tw, 0);
        double h = std::min(detail.height, 88 - 44 - 2.5 - 0.5 - 1);
        cairo_save(cr);
        cairo_rectangle(cr, 93, y + 17 + title.height, tw, h);
        cairo_clip(cr);
        text(cr, row.detail, detailFont, theme->shopPackageSubTitleColor(),
             Rect(93, y + 17 + title.height, tw, h), TextAlignment::Left, 0);
        cairo_restore(cr);
        Renderer::addRoundedRect(cr, Rect(290.5, y + 27.5, 70, 33), 3);
        cairo_set_source_rgb(cr, 0xd6 / 255.0, 0xd6 / 255.0, 0xd6 / 255.0);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        const std::string label = row.downloaded ? "已下载" : "下载";
        Size button = TextEngine::shared().measure(label, buttonFont, 0, 1);
        text(cr, label, buttonFont, row.downloaded ? theme->downloadedTilteColor() : theme->downloadTitleColor(),
             Rect(290, y + 27 + (34 - button.height) / 2, 71, button.height), TextAlignment::Center, 1);
        fill(cr, Rect(14, y + 87.5, kWidth - 28, 0.5), separator);
      }
      y += 88;
    }
  }
  cairo_restore(cr);
  fill(cr, Rect(0, 20, kWidth, 44), theme->navigationBarColor());
  Size title = TextEngine::shared().measure("Vexa商店", theme->navigationTitleFont(), 0, 1);
  text(cr, "Vexa商店", theme->navigationTitleFont(), theme->navigationBarTintColor(),
       Rect(60, 20 + (44 - title.height) / 2, kWidth - 120, title.height), TextAlignment::Center, 1);
}

void BM_BaselineHandDrawn(benchmark::State& state) {
  Scene& s = scene();
  if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
  std::vector<HandSection> sections;
  const auto& categories = s.shop->categories();
  for (size_t i = 1; i < categories.size(); ++i) {
    HandSection section{categories[i]->name(), {}};
    for (const auto& p : categories[i]->packages()) section.rows.push_back({p->name(), p->intro(), cached(p->cover())});
    sections.push_back(std::move(section));
  }
  std::shared_ptr<const Image> banner;
  for (const auto& p : categories[0]->packages()) {
    if (!banner && !p->banner().empty()) banner = cached(p->banner());
  }
  const double range = std::min(s.maxOffset, 450.0);
  int frame = 0;
  for (auto _ : state) {
    const double offset = 620 - fingerY(++frame, range);
    Bitmap bitmap(static_cast<int>(kWidth * kScale), static_cast<int>(kHeight * kScale));
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(bitmap.pixels()), CAIRO_FORMAT_ARGB32, bitmap.width(),
        bitmap.height(), bitmap.stride());
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, kScale, kScale);
    drawHand(cr, sections, banner, offset);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    benchmark::DoNotOptimize(bitmap.pixels());
  }
}

}  // namespace

BENCHMARK(BM_BaselineHandDrawn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShopListFrameDuringDrag)->Unit(benchmark::kMillisecond);

#include "support/RatioReporter.h"

int main(int argc, char** argv) {
  return vexa::bench::runWithRatios(argc, argv, "BM_BaselineHandDrawn", vexa::bench::RatioReporter::Clock::kCpu);
}
