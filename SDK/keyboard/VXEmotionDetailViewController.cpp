#include "vexa/keyboard/VXEmotionDetailViewController.h"

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/shop/QLAutoContentModeImageView.h"
#include "vexa/shop/QLEmotionDetailTableCell.h"
#include "vexa/shop/QLNormalTableCell.h"
#include "vexa/store/QLPackageHelper.h"

namespace vexa {
namespace {

constexpr const char* kNormalCellIdentifier = "QLNormalTableCell";
constexpr const char* kFailureCellIdentifier = "QLEmotionDetailTableCell";

std::shared_ptr<VXEmotionDetailViewController> lockScreen(const std::weak_ptr<ViewController>& weak) {
  return std::static_pointer_cast<VXEmotionDetailViewController>(weak.lock());
}

}  // namespace

VXEmotionDetailViewController::VXEmotionDetailViewController(std::string emojiCode,
                                                             QLDownloadManager& manager)
    : emojiCode_(std::move(emojiCode)), manager_(manager) {}

VXEmotionDetailViewController::~VXEmotionDetailViewController() = default;

double VXEmotionDetailViewController::rowHeight() {
  const Screen screen = Screen::main();
  if (screen.isPhone() && screen.longSide() <= 568) return 75;
  if (screen.isPhone() && screen.longSide() == 667) return 88;
  return 95;
}

void VXEmotionDetailViewController::viewDidLoad() {
  view()->setBackgroundColor(Color::whiteColor());
  requestField_ = false;
  imgView_ = QLAutoContentModeImageView::create();
  view()->addSubview(imgView_);
  tableView_ = TableView::create();
  tableView_->setBackgroundColor(Color::whiteColor());
  tableView_->setScrollEnabled(false);
  tableView_->setRowHeight(rowHeight());
  tableView_->registerClass<QLNormalTableCell>(kNormalCellIdentifier);
  tableView_->registerClass<QLEmotionDetailTableCell>(kFailureCellIdentifier);
  // Owned here and held weakly by the table: it ends with this screen.
  tableDataSource_ = std::make_shared<TableViewDataSource>();
  tableDataSource_->numberOfRowsInSection = [this](TableView& t, int s) {
    return numberOfRowsInSection(t, s);
  };
  tableDataSource_->cellForRowAtIndexPath = [this](TableView& t, const IndexPath& p) {
    return cellForRowAtIndexPath(t, p);
  };
  tableView_->setDataSource(tableDataSource_);
  view()->addSubview(tableView_);

  std::weak_ptr<ViewController> weak = weak_from_this();
  manager_.fetchBigEmojisByCodes({emojiCode_}, [weak](const Result<QLDownloadManager::VXEmojis>& result) {
    if (auto self = lockScreen(weak)) self->emojisDidLoad(result);
  });
}

void VXEmotionDetailViewController::viewDidLayoutSubviews() {
  // The picture fills the width between the top guide and the one row at
  // the bottom.
  const Rect bounds = view()->bounds();
  const double top = topLayoutGuideLength();
  const double row = rowHeight();
  imgView_->setFrame(Rect(0, top, bounds.width(), std::max(0.0, bounds.height() - top - row)));
  tableView_->setFrame(Rect(0, bounds.height() - row, bounds.width(), row));
}

void VXEmotionDetailViewController::showFailure() {
  requestField_ = true;
  if (tableView_) tableView_->reloadData();
}

void VXEmotionDetailViewController::emojisDidLoad(const Result<QLDownloadManager::VXEmojis>& result) {
  // An unknown code is as much a failure as an unanswered lookup.
  if (!result.ok() || result->empty() || !result->front()) {
    showFailure();
    return;
  }
  const auto& emoji = result->front();
  imgView_->setImage(emoji->emojiImage());
  const std::string& packageId = emoji->packageId();
  if (packageId.empty()) {
    showFailure();
    return;
  }
  if (auto stored = QLPackageHelper::packageWithGuid(packageId, manager_.packageCache())) {
    package_ = stored;
    progress_ = 1;
    tableView_->reloadData();
    return;
  }
  std::weak_ptr<ViewController> weak = weak_from_this();
  manager_.sendRequest(QLRequestTypePackage, Value::dict({{kHTTPPathParamKey, packageId}}),
                       [weak](const Result<QLResponse>& answer) {
                         if (auto self = lockScreen(weak)) self->packageDidLoad(answer);
                       });
}

void VXEmotionDetailViewController::packageDidLoad(const Result<QLResponse>& result) {
  const Value* described = result.ok() ? result->value() : nullptr;
  if (!described || !described->isDictionary()) {
    showFailure();
    return;
  }
  auto package = std::make_shared<QLPackage>();
  package->updateWithKeyValues(*described);
  if (package->guid().empty()) {
    showFailure();
    return;
  }
  package_ = package;
  progress_ = 0;
  tableView_->reloadData();
}

void VXEmotionDetailViewController::updateProgressWithPack(const PackagePtr& package, const IndexPath& path) {
  if (!package) return;
  std::weak_ptr<ViewController> weak = weak_from_this();
  std::weak_ptr<QLPackage> weakPackage = package;
  // Progress is set on the pipeline's threads too; the row is the main thread's.
  progressObserver_ = package->observeProgress([weak, weakPackage, path](const double&) {
    MainQueue::shared().async([weak, weakPackage, path] {
      auto self = lockScreen(weak);
      auto package = weakPackage.lock();
      if (!self || !package || !self->tableView_) return;
      const double value = package->progress();
      if (!(value >= 0)) return;
      self->progress_ = value;
      auto row = std::dynamic_pointer_cast<QLNormalTableCell>(self->tableView_->cellForRowAtIndexPath(path));
      if (row) row->setProgress(value);
    });
  });
}

void VXEmotionDetailViewController::downloadPackage() {
  if (!package_ || downloading_) return;
  downloading_ = true;
  PackagePtr package = package_;
  updateProgressWithPack(package, IndexPath::forRow(0, 0));
  std::weak_ptr<ViewController> weak = weak_from_this();
  manager_.downloadPackage(package, [weak, package](const Status& status) {
    if (!status.ok()) package->setProgress(0);
    if (auto self = lockScreen(weak)) self->downloading_ = false;
  });
}

int VXEmotionDetailViewController::numberOfRowsInSection(TableView&, int section) const {
  if (section != 0) return 0;
  return requestField_ || package_ ? 1 : 0;
}

std::shared_ptr<TableViewCell> VXEmotionDetailViewController::cellForRowAtIndexPath(TableView& table,
                                                                                   const IndexPath&) {
  if (requestField_ || !package_) return table.dequeueReusableCellWithIdentifier(kFailureCellIdentifier);
  auto cell = std::static_pointer_cast<QLNormalTableCell>(table.dequeueReusableCellWithIdentifier(kNormalCellIdentifier));
  cell->setAccessibilityIdentifier("package:" + package_->guid());
  cell->setAccessibilityLabel(package_->name());
  cell->downloadView()->setAccessibilityIdentifier("download:" + package_->guid());
  cell->imgView()->setImageWithURL(UrlEscaping::escapeURL(package_->cover()), nullptr);
  cell->titleLabel()->setText(package_->name());
  cell->detailLabel()->setText(package_->intro());
  cell->setProgress(progress_);
  if (package_->promotion()) cell->addPromotionImage();
  else cell->removePromotionImage();
  cell->bottomLine()->setHidden(true);
  cell->topLine()->setHidden(false);
  std::weak_ptr<ViewController> weak = weak_from_this();
  cell->setDownloadHandler([weak](int status) {
    if (status != QLDownloadView::kStatusDownloading) return;
    if (auto self = lockScreen(weak)) self->downloadPackage();
  });
  cell->setNeedsLayout();
  return cell;
}

}  // namespace vexa
