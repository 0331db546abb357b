#include "vexa/shop/QLDownloadCenterViewController.h"

#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/shop/QLBackBarButton.h"
#include "vexa/shop/QLDetailViewController.h"
#include "vexa/shop/QLNormalTableCell.h"
#include "vexa/store/QLPackageHelper.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

constexpr const char* kNormalCellIdentifier = "QLNormalTableCell";

}  // namespace

QLDownloadCenterViewController::QLDownloadCenterViewController(QLDownloadManager& manager)
    : manager_(manager) {}

QLDownloadCenterViewController::~QLDownloadCenterViewController() = default;

void QLDownloadCenterViewController::viewDidLoad() {
  setTitle(QLEmotionGlobal::sharedInstance().localizedStringForKey("表情下载记录"));
  view()->setBackgroundColor(Color::whiteColor());
  std::weak_ptr<ViewController> weak = weak_from_this();
  navigationItem()->setLeftBarButtonItem(QLBackBarButton::item([weak] {
    if (auto self = std::static_pointer_cast<QLDownloadCenterViewController>(weak.lock())) self->backAction();
  }));
  tableView_ = TableView::create(view()->bounds());
  tableView_->setRowHeight(kRowHeight);
  tableView_->registerClass<QLNormalTableCell>(kNormalCellIdentifier);
  // Owned here and held weakly by the table: they end with this screen.
  tableDataSource_ = std::make_shared<TableViewDataSource>();
  tableDataSource_->numberOfRowsInSection = [this](TableView& t, int s) {
    return numberOfRowsInSection(t, s);
  };
  tableDataSource_->cellForRowAtIndexPath = [this](TableView& t, const IndexPath& p) {
    return cellForRowAtIndexPath(t, p);
  };
  tableDelegate_ = std::make_shared<TableViewDelegate>();
  tableDelegate_->didSelectRowAtIndexPath = [this](TableView& t, const IndexPath& p) {
    didSelectRowAtIndexPath(t, p);
  };
  tableView_->setDataSource(tableDataSource_);
  tableView_->setDelegate(tableDelegate_);
  view()->addSubview(tableView_);
}

void QLDownloadCenterViewController::viewDidLayoutSubviews() {
  const Rect bounds = view()->bounds();
  const double top = topLayoutGuideLength();
  tableView_->setFrame(Rect(0, top, bounds.width(), bounds.height() - top));
}

int QLDownloadCenterViewController::numberOfRowsInSection(TableView&, int section) const {
  return section == 0 ? static_cast<int>(manager_.packageCache().downloadedPackages().size()) : 0;
}

std::shared_ptr<TableViewCell> QLDownloadCenterViewController::cellForRowAtIndexPath(TableView& table,
                                                                                    const IndexPath& path) {
  auto cell = std::static_pointer_cast<QLNormalTableCell>(
      table.dequeueReusableCellWithIdentifier(kNormalCellIdentifier));
  const auto& packages = manager_.packageCache().downloadedPackages();
  if (static_cast<size_t>(path.row()) >= packages.size()) return cell;
  const auto& package = packages[static_cast<size_t>(path.row())];
  cell->setAccessibilityIdentifier("package:" + package->guid());
  cell->setAccessibilityLabel(package->name());
  cell->downloadView()->setAccessibilityIdentifier("download:" + package->guid());
  cell->imgView()->setImageWithURL(UrlEscaping::escapeURL(package->cover()), nullptr);
  cell->titleLabel()->setText(package->name());
  cell->detailLabel()->setText(package->intro());
  cell->setProgress(QLPackageHelper::progressForPackage(*package, manager_.packageCache()));
  cell->setNeedsLayout();
  return cell;
}

void QLDownloadCenterViewController::didSelectRowAtIndexPath(TableView& table, const IndexPath& path) {
  table.deselectRowAtIndexPath(path, true);
  const auto& packages = manager_.packageCache().downloadedPackages();
  auto* navigation = navigationController();
  if (!navigation || static_cast<size_t>(path.row()) >= packages.size()) return;
  auto detail = std::make_shared<QLDetailViewController>(manager_);
  detail->setPackage(packages[static_cast<size_t>(path.row())]);
  navigation->pushViewController(detail, true);
}

void QLDownloadCenterViewController::backAction() { QLBackBarButton::goBack(*this); }

}  // namespace vexa
