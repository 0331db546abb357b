#include "vexa/shop/QLMyViewController.h"

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/shop/QLBackBarButton.h"
#include "vexa/shop/QLDetailViewController.h"
#include "vexa/shop/QLDownloadCenterViewController.h"
#include "vexa/shop/QLDownloadedTableCell.h"
#include "vexa/shop/QLSimpleTitleTableCell.h"
#include "vexa/theme/QLEmotionColor.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

constexpr const char* kDownloadedCellIdentifier = "QLDownloadedTableCell";
constexpr const char* kSimpleTitleCellIdentifier = "QLSimpleTitleTableCell";
// The section the screen answers for but does not list: the way to the
// download records.
constexpr int kRecordsSection = 1;

std::string localized(const std::string& key) {
  return QLEmotionGlobal::sharedInstance().localizedStringForKey(key);
}

}  // namespace

QLMyViewController::QLMyViewController(QLDownloadManager& manager) : manager_(manager) {}

QLMyViewController::~QLMyViewController() = default;

const QLPackageCache::Packages& QLMyViewController::packages() const {
  return manager_.packageCache().downloadedPackages();
}

void QLMyViewController::viewDidLoad() {
  setTitle(localized("我的表情"));
  view()->setBackgroundColor(Color::whiteColor());
  std::weak_ptr<ViewController> weak = weak_from_this();
  navigationItem()->setLeftBarButtonItem(QLBackBarButton::item([weak] {
    if (auto self = std::static_pointer_cast<QLMyViewController>(weak.lock())) self->backAction();
  }));
  tableView_ = TableView::create(view()->bounds());
  tableView_->setBackgroundColor(Color::whiteColor());
  tableView_->setRowHeight(kRowHeight);
  tableView_->registerClass<QLDownloadedTableCell>(kDownloadedCellIdentifier);
  tableView_->registerClass<QLSimpleTitleTableCell>(kSimpleTitleCellIdentifier);

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
  tableDelegate_->viewForHeaderInSection = [this](TableView& t, int s) {
    return viewForHeaderInSection(t, s);
  };
  tableDelegate_->heightForHeaderInSection = [this](TableView& t, int s) {
    return heightForHeaderInSection(t, s);
  };
  tableDelegate_->didSelectRowAtIndexPath = [this](TableView& t, const IndexPath& p) {
    didSelectRowAtIndexPath(t, p);
  };
  tableView_->setDataSource(tableDataSource_);
  tableView_->setDelegate(tableDelegate_);
  view()->addSubview(tableView_);

  auto changed = [this](const Notification& n) { dataChanged(n); };
  added_ = NotificationCenter::defaultCenter().addObserver(kQLEmotionPackageAddNotification, changed);
  removed_ = NotificationCenter::defaultCenter().addObserver(kQLEmotionPackageRemoveNotification, changed);
}

void QLMyViewController::viewDidLayoutSubviews() {
  const Rect bounds = view()->bounds();
  const double top = topLayoutGuideLength();
  tableView_->setFrame(Rect(0, top, bounds.width(), bounds.height() - top));
}

void QLMyViewController::dataChanged(const Notification&) {
  // Posted on the storing thread, possibly in the middle of a row deletion:
  // the list is read again on the main thread once that has ended.
  if (reloadQueued_->exchange(true)) return;
  std::weak_ptr<ViewController> weak = weak_from_this();
  MainQueue::shared().async([weak, queued = reloadQueued_] {
    queued->store(false);
    auto self = std::static_pointer_cast<QLMyViewController>(weak.lock());
    if (self && self->tableView_) self->tableView_->reloadData();
  });
}

void QLMyViewController::removePackageOfCell(QLDownloadedTableCell& cell, const PackagePtr& package) {
  if (!tableView_ || !package) return;
  std::optional<IndexPath> path;
  for (const IndexPath& visible : tableView_->indexPathsForVisibleRows()) {
    if (tableView_->cellForRowAtIndexPath(visible).get() == &cell) path = visible;
  }
  if (!path) return;
  tableView_->beginUpdates();
  const bool removed = manager_.packageCache().removePackage(package).ok();
  if (removed) tableView_->deleteRowsAtIndexPaths({*path}, TableViewRowAnimation::Fade);
  tableView_->endUpdates();
  if (removed) {
    manager_.logAction(QLRequestTypeRemovePackage, Value::dict({{kHTTPPathParamKey, package->guid()}}));
  }
}

void QLMyViewController::backAction() { QLBackBarButton::goBack(*this); }

// --- Table ----------------------------------------------------------------------

int QLMyViewController::numberOfRowsInSection(TableView&, int section) const {
  if (section == 0) return static_cast<int>(packages().size());
  return section == kRecordsSection ? 1 : 0;
}

std::shared_ptr<TableViewCell> QLMyViewController::cellForRowAtIndexPath(TableView& table,
                                                                        const IndexPath& path) {
  if (path.section != 0) {
    auto cell = std::static_pointer_cast<QLSimpleTitleTableCell>(
        table.dequeueReusableCellWithIdentifier(kSimpleTitleCellIdentifier));
    cell->titleLabel()->setText(localized("表情下载记录"));
    cell->bottomLine()->setHidden(true);
    return cell;
  }
  auto cell = std::static_pointer_cast<QLDownloadedTableCell>(
      table.dequeueReusableCellWithIdentifier(kDownloadedCellIdentifier));
  cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
  const auto& list = packages();
  if (static_cast<size_t>(path.row()) >= list.size()) return cell;
  PackagePtr package = list[static_cast<size_t>(path.row())];
  cell->setAccessibilityIdentifier("package:" + package->guid());
  cell->setAccessibilityLabel(package->name());
  cell->removeBtn()->setAccessibilityIdentifier("remove:" + package->guid());
  cell->imgView()->setImageWithURL(UrlEscaping::escapeURL(package->cover()), nullptr);
  cell->titleLabel()->setText(package->name());
  std::weak_ptr<ViewController> weak = weak_from_this();
  cell->setRemoveHandler([weak, package](QLDownloadedTableCell& shown) {
    if (auto self = std::static_pointer_cast<QLMyViewController>(weak.lock())) {
      self->removePackageOfCell(shown, package);
    }
  });
  cell->setNeedsLayout();
  return cell;
}

std::shared_ptr<View> QLMyViewController::viewForHeaderInSection(TableView& table, int section) const {
  const double width = table.bounds().width();
  if (section != 0) return View::create(Rect(15, 0, width, 30));
  auto header = View::create(Rect(15, 0, width, 50));
  header->setBackgroundColor(Color::whiteColor());
  auto label = Label::create(Rect(15, 15, width, 30));
  label->setTextColor(QLEmotionColor::ql_colorWithHexColorString("#adadad").value_or(Color::black()));
  label->setText(localized("已下载表情"));
  header->addSubview(label);
  return header;
}

double QLMyViewController::heightForHeaderInSection(TableView&, int section) const {
  return section == 0 ? kHeaderHeight : 30;
}

void QLMyViewController::didSelectRowAtIndexPath(TableView& table, const IndexPath& path) {
  table.deselectRowAtIndexPath(path, true);
  auto* navigation = navigationController();
  if (path.section == kRecordsSection) {
    if (navigation) navigation->pushViewController(std::make_shared<QLDownloadCenterViewController>(manager_), true);
    return;
  }
  const auto& list = packages();
  if (path.section != 0 || static_cast<size_t>(path.row()) >= list.size()) return;
  package_ = list[static_cast<size_t>(path.row())];
  if (!navigation) return;
  auto detail = std::make_shared<QLDetailViewController>(manager_);
  detail->setPackage(package_);
  navigation->pushViewController(detail, true);
}

}  // namespace vexa
