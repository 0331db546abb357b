// vexa render: draws one of the view layer's scenes to a PNG file, the way
// a host would show it: the banner strip, the keyboard's 2 x 4 page grid
// with labelled cells, a popover or the progress HUD.
#include <cmath>
#include <iostream>
#include <map>

#include "Commands.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/PageControl.h"
#include "vexa/platform/ui/Renderer.h"
#include "vexa/platform/ui/TextEngine.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/shop/QLInputCollectionPageGridLayout.h"
#include "vexa/shop/QL_LoopScrollView.h"
#include "vexa/support/QLPopoverView.h"
#include "vexa/support/QLProgressHUD.h"

namespace vexa::tool {

namespace {

constexpr int kLabelTag = 1;

// A banner picture: a diagonal gradient with a headline.
std::shared_ptr<const Image> bannerImage(double w, double h, Color from, Color to,
                                         const std::string& headline) {
  auto canvas = View::create(Rect(0, 0, w, h));
  canvas->setDrawHandler([w, h, from, to, headline](cairo_t* cr, const Rect&) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, w, h);
    cairo_pattern_add_color_stop_rgb(gradient, 0, from.red(), from.green(), from.blue());
    cairo_pattern_add_color_stop_rgb(gradient, 1, to.red(), to.green(), to.blue());
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);
    for (int i = 0; i < 3; ++i) {
      cairo_set_source_rgba(cr, 1, 1, 1, 0.12 + 0.05 * i);
      cairo_arc(cr, w * (0.72 + 0.1 * i), h * (0.3 + 0.2 * i), h * (0.35 - 0.08 * i), 0, 2 * M_PI);
      cairo_fill(cr);
    }
    TextEngine::shared().draw(cr, headline, Font::boldSystemFont(28), Color::whiteColor(),
                              Rect(20, h / 2 - 30, w - 40, 40), TextAlignment::Left, 1);
  });
  auto bitmap = Renderer(2).renderToBitmap(*canvas);
  return bitmap ? Image::still(*bitmap, 2) : nullptr;
}

std::shared_ptr<View> bannerScene() {
  double w = Screen::main().bounds.width(), h = 150;
  auto list = std::make_shared<std::vector<QL_LoopScrollView::ImageSource>>();
  list->push_back(bannerImage(w, h, Color::rgb255(255, 126, 95), Color::rgb255(254, 180, 123), "夏日表情 全新上架"));
  list->push_back(bannerImage(w, h, Color::rgb255(67, 206, 162), Color::rgb255(24, 90, 157), "萌宠系列"));
  list->push_back(bannerImage(w, h, Color::rgb255(142, 84, 233), Color::rgb255(71, 118, 230), "经典小黄脸"));
  auto loop = QL_LoopScrollView::create(Rect(0, 0, w, h));
  loop->setAlignment(QL_LoopScrollView::kAlignmentRight);
  loop->setAdTitles({"夏日表情，限时免费下载", "萌宠系列", "经典小黄脸"});
  loop->setImageUrls(list);
  loop->pauseTimer();
  return loop;
}

// The keyboard's emoji area: a 2 x 4 page grid of labelled cells over page dots.
struct GridScene {
  std::shared_ptr<View> root;
  std::shared_ptr<CollectionViewDataSource> source;
  std::shared_ptr<QLInputCollectionPageGridLayoutDelegate> grid;
};

GridScene gridScene() {
  static const char* const kNames[] = {"微笑", "大笑", "害羞", "点赞", "再见", "生气", "爱心", "晚安",
                                       "吃瓜", "加油", "哭泣", "惊讶"};
  double w = Screen::main().bounds.width();
  GridScene scene;
  scene.root = View::create(Rect(0, 0, w, 216));
  scene.root->setBackgroundColor(Color::rgb255(244, 244, 246));
  auto layout = QLInputCollectionPageGridLayout::create();
  layout->setPageContentInsets(EdgeInsets{12, 15, 8, 15});
  layout->setItemSpacing(12);
  layout->setLineSpacing(10);
  auto view = CollectionView::create(Rect(0, 0, w, 186), layout);
  view->setPagingEnabled(true);
  view->registerClass<CollectionViewCell>("QLEmotionCollectionCell");
  scene.grid = std::make_shared<QLInputCollectionPageGridLayoutDelegate>();
  scene.grid->rowsOfSection = [](int) { return 2; };
  scene.grid->columsOfSection = [](int) { return 4; };
  layout->setGridLayoutDelegate(scene.grid);
  scene.source = std::make_shared<CollectionViewDataSource>();
  scene.source->numberOfItemsInSection = [](CollectionView&, int) { return 12; };
  scene.source->cellForItemAtIndexPath = [](CollectionView& cv, const IndexPath& p) {
    auto cell = cv.dequeueReusableCell("QLEmotionCollectionCell", p);
    auto content = cell->contentView();
    content->setBackgroundColor(Color::whiteColor());
    content->setCornerRadius(8);
    content->setBorderWidth(0.5);
    content->setBorderColor(Color::rgb255(222, 222, 222));
    auto label = std::static_pointer_cast<Label>(content->viewWithTag(kLabelTag));
    if (!label) {
      label = Label::create(content->bounds());
      label->setTag(kLabelTag);
      label->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
      label->setTextAlignment(TextAlignment::Center);
      label->setFont(Font::systemFont(17));
      label->setTextColor(Color::rgb255(51, 51, 51));
      content->addSubview(label);
    }
    label->setText(kNames[p.item % 12]);
    return cell;
  };
  view->setDataSource(scene.source);
  auto dots = PageControl::create(Rect(0, 186, w, 30));
  dots->setNumberOfPages(2);
  dots->setPageIndicatorTintColor(Color::rgb255(200, 200, 200));
  dots->setCurrentPageIndicatorTintColor(Color::rgb255(110, 110, 110));
  scene.root->addSubview(view);
  scene.root->addSubview(dots);
  return scene;
}

std::shared_ptr<View> popoverScene() {
  auto root = View::create(Rect(0, 0, 320, 200));
  root->setBackgroundColor(Color::rgb255(235, 235, 240));
  auto content = Label::create(Rect(0, 0, 120, 60));
  content->setText("长按预览");
  content->setTextAlignment(TextAlignment::Center);
  auto popover = QLPopoverView::create();
  popover->setMaskType(QLPopoverMaskType::None);
  popover->setContentInset(EdgeInsets{18, 18, 18, 18});
  popover->setAnimated(false);
  popover->showAtPoint(Point{160, 160}, QLPopoverPosition::Up, content, root);
  return root;
}

std::shared_ptr<View> hudScene() {
  auto root = View::create(Rect(0, 0, 320, 240));
  root->setBackgroundColor(Color::whiteColor());
  QLProgressHUD::showHUDAddedTo(*root, "加载中...", false);
  return root;
}

}  // namespace

void addRenderCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("render", "draw a scene of the view layer to a PNG file");
  struct Args {
    std::string scene = "grid";
    std::string output;
    double scale = 2;
  };
  auto args = std::make_shared<Args>();
  cmd->add_option("--scene", args->scene, "banner, grid, popover or hud")
      ->check(CLI::IsMember({"banner", "grid", "popover", "hud"}));
  cmd->add_option("-o,--output", args->output, "the PNG file to write (default vexa-<scene>.png)");
  cmd->add_option("--scale", args->scale, "pixels per point")->check(CLI::Range(0.5, 4.0));
  cmd->callback([&options, &status, args] {
    applyHome(options);
    const std::string& scene = args->scene;
    std::string path = args->output.empty() ? "vexa-" + scene + ".png" : args->output;
    std::shared_ptr<View> root;
    GridScene grid;  // keeps the grid's data source alive while drawing
    if (scene == "banner") root = bannerScene();
    else if (scene == "popover") root = popoverScene();
    else if (scene == "hud") root = hudScene();
    else root = (grid = gridScene()).root;
    Status written = Renderer(args->scale).renderToPng(*root, path);
    if (!written) {
      status = fail(written.error());
      return;
    }
    std::cerr << "vexa: wrote " << path << "\n";
    status = 0;
  });
}

}  // namespace vexa::tool
