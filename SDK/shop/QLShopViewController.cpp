#include "vexa/shop/QLShopViewController.h"

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/ui/Application.h"
#include "vexa/platform/ui/BarButtonItem.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/platform/ui/NavigationItem.h"
#include "vexa/shop/QLAdTableCell.h"
#include "vexa/shop/QLCategoryTitleView.h"
#include "vexa/shop/QLDetailViewController.h"
#include "vexa/shop/QLMyViewController.h"
#include "vexa/shop/QLNavigationStyle.h"
#include "vexa/shop/QLNormalTableCell.h"
#include "vexa/store/QLPackageHelper.h"
#include "vexa/support/QLProgressHUD.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

constexpr const char* kAdCellIdentifier = "QLAdTableCell";
constexpr const char* kNormalCellIdentifier = "QLNormalTableCell";
// The platform's own separator grey, for the category headers' hairlines.
const Color kDefaultSeparatorColor = Color::rgb255(200, 199, 204);
constexpr double kBarButtonSide = 27;
// The failure page leaves this much of the screen's top uncovered.
constexpr double kLoadFailedTop = 56;

std::string localized(const std::string& key) {
  return QLEmotionGlobal::sharedInstance().localizedStringForKey(key);
}

}  // namespace

QLShopViewController::QLShopViewController(QLDownloadManager& manager) : manager_(manager) {}

QLShopViewController::~QLShopViewController() = default;

std::shared_ptr<NavigationController> QLShopViewController::presentShop(QLDownloadManager& manager) {
  auto top = Application::shared().topViewController();
  if (!top) return nullptr;
  auto stack = QLNavigationStyle::navigationControllerWithRoot(
      std::make_shared<QLShopViewController>(manager));
  top->presentViewController(stack, true);
  return stack;
}

void QLShopViewController::viewDidLoad() {
  setTitle(localized("Vexa商店"));
  const Rect bounds = view()->bounds();
  const double top = topLayoutGuideLength();
  tableView_ = TableView::create(Rect(0, top, bounds.width(), bounds.height() - top));
  tableView_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  tableView_->registerClass<QLAdTableCell>(kAdCellIdentifier);
  tableView_->registerClass<QLNormalTableCell>(kNormalCellIdentifier);

  // Owned here and held weakly by the table: they end with this screen.
  tableDataSource_ = std::make_shared<TableViewDataSource>();
  tableDataSource_->numberOfSectionsInTableView = [this](TableView& t) {
    return numberOfSectionsInTableView(t);
  };
  tableDataSource_->numberOfRowsInSection = [this](TableView& t, int s) {
    return numberOfRowsInSection(t, s);
  };
  tableDataSource_->cellForRowAtIndexPath = [this](TableView& t, const IndexPath& p) {
    return cellForRowAtIndexPath(t, p);
  };
  tableDelegate_ = std::make_shared<TableViewDelegate>();
  tableDelegate_->heightForRowAtIndexPath = [this](TableView& t, const IndexPath& p) {
    return heightForRowAtIndexPath(t, p);
  };
  tableDelegate_->heightForHeaderInSection = [this](TableView& t, int s) {
    return heightForHeaderInSection(t, s);
  };
  tableDelegate_->viewForHeaderInSection = [this](TableView& t, int s) {
    return viewForHeaderInSection(t, s);
  };
  tableDelegate_->didSelectRowAtIndexPath = [this](TableView& t, const IndexPath& p) {
    didSelectRowAtIndexPath(t, p);
  };
  tableView_->setDataSource(tableDataSource_);
  tableView_->setDelegate(tableDelegate_);
  view()->addSubview(tableView_);

  failedDataSource_ = std::make_shared<QLLoadFailedViewDataSource>();
  failedDataSource_->requestData = [this] { requestData(); };
  navigationItem()->setLeftBarButtonItem(barButton("back", "返回", [](QLShopViewController& shop) {
    shop.backAction();
  }));
  navigationItem()->setRightBarButtonItem(barButton("setting", "设置", [](QLShopViewController& shop) {
    shop.settingAction();
  }));
  fetchData();
}

std::shared_ptr<BarButtonItem> QLShopViewController::barButton(
    const std::string& name, const std::string& label, std::function<void(QLShopViewController&)> action) {
  auto button = Button::create(Rect(0, 0, kBarButtonSide, kBarButtonSide));
  // A template takes the bar's tint.
  if (auto image = QLEmotionGlobal::sharedInstance().sdkUIimageWithName(name)) {
    button->setImage(image->withRenderingMode(ImageRenderingMode::AlwaysTemplate));
  }
  button->setAccessibilityIdentifier(name);
  button->setAccessibilityLabel(label);
  std::weak_ptr<ViewController> weak = weak_from_this();
  button->addAction(ControlEventTouchUpInside, [weak, action = std::move(action)](Control&) {
    if (auto self = std::static_pointer_cast<QLShopViewController>(weak.lock())) action(*self);
  });
  return BarButtonItem::withCustomView(button);
}

void QLShopViewController::viewWillAppear(bool animated) {
  ViewController::viewWillAppear(animated);
  if (tableView_) tableView_->reloadData();
}

// --- Loading ------------------------------------------------------------------

View& QLShopViewController::hudHost() {
  auto* navigation = navigationController();
  return navigation ? *navigation->view() : *view();
}

void QLShopViewController::showHud() {
  QLProgressHUD::showHUDAddedTo(hudHost(), localized("加载中..."), true);
}

void QLShopViewController::hideHud() { QLProgressHUD::hideHUDForView(hudHost(), true); }

void QLShopViewController::fetchData() {
  VX_ASSERT_MAIN_THREAD();
  if (loading_) return;
  loading_ = true;
  showHud();
  std::weak_ptr<ViewController> weak = weak_from_this();
  manager_.sendRequest(QLRequestTypeBanner, Value(), [weak](const Result<QLResponse>& result) {
    if (auto self = std::static_pointer_cast<QLShopViewController>(weak.lock())) {
      self->bannersDidLoad(result);
    }
  });
}

void QLShopViewController::bannersDidLoad(const Result<QLResponse>& result) {
  if (!result.ok()) {
    loadDidFail();
    return;
  }
  removeLoadFailedView();
  // Section 0 is the banner row whatever the answer holds.
  const QLCategories* groups = result->categories();
  auto bannerGroup = groups && !groups->empty() ? groups->front() : std::make_shared<QLCategory>();
  std::weak_ptr<ViewController> weak = weak_from_this();
  manager_.sendRequest(QLRequestTypeCategory, Value(),
                       [weak, bannerGroup](const Result<QLResponse>& categories) {
                         if (auto self = std::static_pointer_cast<QLShopViewController>(weak.lock())) {
                           self->categoriesDidLoad(bannerGroup, categories);
                         }
                       });
}

void QLShopViewController::categoriesDidLoad(const std::shared_ptr<QLCategory>& bannerGroup,
                                             const Result<QLResponse>& result) {
  if (!result.ok()) {
    loadDidFail();
    return;
  }
  loading_ = false;
  hideHud();
  removeLoadFailedView();
  Categories loaded{bannerGroup};
  if (const QLCategories* categories = result->categories()) {
    loaded.insert(loaded.end(), categories->begin(), categories->end());
  }
  categories_ = std::move(loaded);
  bannerPackages_.clear();
  auto images = std::make_shared<std::vector<QL_LoopScrollView::ImageSource>>();
  for (const auto& package : bannerGroup->packages()) {
    if (!package || package->banner().empty()) continue;
    bannerPackages_.push_back(package);
    images->push_back(UrlEscaping::escapeURL(package->banner()));
  }
  bannerImages_ = std::move(images);
  view()->addSubview(tableView_);
  tableView_->reloadData();
}

void QLShopViewController::loadDidFail() {
  loading_ = false;
  hideHud();
  showLoadFailedView();
  loadFailedView_->setReloadBtnClick(false);
}

void QLShopViewController::showLoadFailedView() {
  const Rect screen = Screen::main().bounds;
  if (loadFailedView_) loadFailedView_->removeFromSuperview();
  loadFailedView_ = QLLoadFailedView::create(
      Rect(0, kLoadFailedTop, screen.width(), screen.height() - kLoadFailedTop));
  loadFailedView_->setDataSource(failedDataSource_);
  loadFailedView_->reloadBtn()->setAccessibilityIdentifier("retry");
  view()->addSubview(loadFailedView_);
}

void QLShopViewController::removeLoadFailedView() {
  if (!loadFailedView_) return;
  loadFailedView_->removeFromSuperview();
  loadFailedView_.reset();
}

// --- Navigation -----------------------------------------------------------------

void QLShopViewController::showDetailViewControllerWithPackage(const PackagePtr& package) {
  auto* navigation = navigationController();
  if (!package || !navigation) return;
  auto detail = std::make_shared<QLDetailViewController>(manager_);
  detail->setPackage(package);
  if (!categories_.empty()) detail->setAdBanners(categories_.front()->banners());
  navigation->pushViewController(detail, true);
}

QLShopViewController::PackagePtr QLShopViewController::bannerPackageAtIndex(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= bannerPackages_.size()) return nullptr;
  return bannerPackages_[static_cast<size_t>(index)];
}

void QLShopViewController::backAction() {
  ViewController* stack = navigationController();
  if (!stack) stack = this;
  stack->dismissViewController(false, [] {
    NotificationCenter::defaultCenter().post(kQLEmotionDismissShopNotification);
  });
}

void QLShopViewController::settingAction() {
  if (auto* navigation = navigationController()) {
    navigation->pushViewController(std::make_shared<QLMyViewController>(manager_), true);
  }
}

// --- Downloads and progress ---------------------------------------------------

void QLShopViewController::downloadPackage(const PackagePtr& package) {
  VX_ASSERT_MAIN_THREAD();
  if (!package || !downloading_.insert(package->guid()).second) return;
  std::weak_ptr<ViewController> weak = weak_from_this();
  // The download outlives the row and the screen; only its bookkeeping here
  // needs the screen.
  manager_.downloadPackage(package, [weak, package](const Status& status) {
    if (!status.ok()) package->setProgress(0);
    if (auto self = std::static_pointer_cast<QLShopViewController>(weak.lock())) {
      self->downloading_.erase(package->guid());
    }
  });
}

void QLShopViewController::observeProgress(const PackagePtr& package) {
  std::weak_ptr<ViewController> weak = weak_from_this();
  std::weak_ptr<QLPackage> weakPackage = package;
  progressObservers_[package.get()] = package->observeProgress([weak, weakPackage](const double&) {
    // Progress is set on the pipeline's threads too; views belong to the
    // main thread. The row shows the value current when the hop arrives.
    MainQueue::shared().async([weak, weakPackage] {
      auto self = std::static_pointer_cast<QLShopViewController>(weak.lock());
      auto package = weakPackage.lock();
      if (self && package) self->showProgressOfPackage(package);
    });
  });
}

void QLShopViewController::showProgressOfPackage(const PackagePtr& package) {
  if (!tableView_) return;
  const double progress = package->progress();
  if (!(progress >= 0)) return;  // negative values (and NaN) are not shown
  for (const IndexPath& path : tableView_->indexPathsForVisibleRows()) {
    auto shown = packageAt(path);
    if (!shown || shown->guid() != package->guid()) continue;
    auto cell = std::dynamic_pointer_cast<QLNormalTableCell>(tableView_->cellForRowAtIndexPath(path));
    if (cell) cell->setProgress(progress);
  }
}

// --- Table ----------------------------------------------------------------------

QLShopViewController::PackagePtr QLShopViewController::packageAt(const IndexPath& path) const {
  if (path.section < 1 || static_cast<size_t>(path.section) >= categories_.size()) return nullptr;
  const auto& packages = categories_[static_cast<size_t>(path.section)]->packages();
  if (path.row() < 0 || static_cast<size_t>(path.row()) >= packages.size()) return nullptr;
  return packages[static_cast<size_t>(path.row())];
}

int QLShopViewController::numberOfSectionsInTableView(TableView&) const {
  return static_cast<int>(categories_.size());
}

int QLShopViewController::numberOfRowsInSection(TableView&, int section) const {
  if (section == 0) return 1;
  if (section < 0 || static_cast<size_t>(section) >= categories_.size()) return 0;
  return static_cast<int>(categories_[static_cast<size_t>(section)]->packages().size());
}

std::shared_ptr<TableViewCell> QLShopViewController::cellForRowAtIndexPath(TableView& table,
                                                                          const IndexPath& path) {
  return path.section == 0 ? bannerCell(table) : packageCell(table, path);
}

std::shared_ptr<TableViewCell> QLShopViewController::bannerCell(TableView& table) {
  auto cell = std::static_pointer_cast<QLAdTableCell>(table.dequeueReusableCellWithIdentifier(kAdCellIdentifier));
  cell->setAccessibilityIdentifier("banner");
  // The same list object leaves a carousel that already shows it alone.
  cell->loopScrollView()->setImageUrls(bannerImages_);
  std::weak_ptr<ViewController> weak = weak_from_this();
  cell->loopScrollView()->setDidSelectItemBlock([weak](int page, QL_LoadImageView*) {
    auto self = std::static_pointer_cast<QLShopViewController>(weak.lock());
    if (self) self->showDetailViewControllerWithPackage(self->bannerPackageAtIndex(page));
  });
  return cell;
}

std::shared_ptr<TableViewCell> QLShopViewController::packageCell(TableView& table,
                                                                const IndexPath& path) {
  auto cell = std::static_pointer_cast<QLNormalTableCell>(
      table.dequeueReusableCellWithIdentifier(kNormalCellIdentifier));
  auto package = packageAt(path);
  if (!package) return cell;
  cell->setAccessibilityIdentifier("package:" + package->guid());
  cell->setAccessibilityLabel(package->name());
  cell->downloadView()->setAccessibilityIdentifier("download:" + package->guid());
  cell->imgView()->setImageWithURL(UrlEscaping::escapeURL(package->cover()), nullptr);
  cell->titleLabel()->setText(package->name());
  cell->detailLabel()->setText(package->intro());
  cell->setProgress(QLPackageHelper::progressForPackage(*package, manager_.packageCache()));
  if (package->promotion()) cell->addPromotionImage();
  else cell->removePromotionImage();
  observeProgress(package);
  std::weak_ptr<ViewController> weak = weak_from_this();
  cell->setDownloadHandler([weak, package](int status) {
    if (status != QLDownloadView::kStatusDownloading) return;
    if (auto self = std::static_pointer_cast<QLShopViewController>(weak.lock())) {
      self->downloadPackage(package);
    }
  });
  cell->setNeedsLayout();
  return cell;
}

double QLShopViewController::heightForRowAtIndexPath(TableView& table, const IndexPath& path) const {
  if (path.section == 0) return table.bounds().width() * 200 / 375;
  const Screen screen = Screen::main();
  if (screen.isPhone() && screen.longSide() <= 568) return 75;
  if (!screen.isPhone()) return 95;
  if (screen.longSide() == 667) return 88;
  return 95;
}

double QLShopViewController::heightForHeaderInSection(TableView&, int section) const {
  if (section == 0) return 0;
  const Screen screen = Screen::main();
  if (screen.isPhone() && screen.longSide() <= 568) return 40;
  if (!screen.isPhone()) return 55;
  if (screen.longSide() == 667) return 50;
  return 55;
}

std::shared_ptr<View> QLShopViewController::viewForHeaderInSection(TableView& table, int section) const {
  if (section != 1 && section != 2) return nullptr;
  if (static_cast<size_t>(section) >= categories_.size()) return nullptr;
  auto header = QLCategoryTitleView::create();
  header->titleLabel()->setText(categories_[static_cast<size_t>(section)]->name());
  header->setLineColor(table.separatorColor().value_or(kDefaultSeparatorColor));
  header->topLineView()->setHidden(section == 1);
  return header;
}

void QLShopViewController::didSelectRowAtIndexPath(TableView& table, const IndexPath& path) {
  table.deselectRowAtIndexPath(path, true);
  // The banner row reports its own taps, page by page.
  if (auto package = packageAt(path)) showDetailViewControllerWithPackage(package);
}

}  // namespace vexa
