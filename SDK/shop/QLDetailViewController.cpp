#include "vexa/shop/QLDetailViewController.h"

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/shop/QLAdTableCell.h"
#include "vexa/shop/QLBackBarButton.h"
#include "vexa/shop/QLBottomTableCell.h"
#include "vexa/shop/QLEmotionCollectionCell.h"
#include "vexa/shop/QLIntroductionTableCell.h"
#include "vexa/shop/QLPreviewTabelCell.h"
#include "vexa/shop/QLTermsViewController.h"
#include "vexa/store/QLPackageHelper.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

constexpr const char* kAdCellIdentifier = "QLAdTableCell";
constexpr const char* kIntroductionCellIdentifier = "QLIntroductionTableCell";
constexpr const char* kPreviewCellIdentifier = "QLPreviewTabelCell";
constexpr const char* kBottomCellIdentifier = "QLBottomTableCell";
// The failure page leaves this much of the screen's top uncovered.
constexpr double kLoadFailedTop = 56;

std::string localized(const std::string& key) {
  return QLEmotionGlobal::sharedInstance().localizedStringForKey(key);
}

template <typename T>
std::shared_ptr<T> lockAs(const std::weak_ptr<ViewController>& weak) {
  return std::static_pointer_cast<T>(weak.lock());
}

}  // namespace

QLDetailViewController::QLDetailViewController(QLDownloadManager& manager) : manager_(manager) {}

QLDetailViewController::~QLDetailViewController() { hud_.hide(); }

// --- Package --------------------------------------------------------------------

void QLDetailViewController::setPackage(const PackagePtr& package) {
  if (package == package_) return;
  progressObserver_.reset();
  PackagePtr stored = package ? QLPackageHelper::packageWithGuid(package->guid(), manager_.packageCache())
                              : nullptr;
  package_ = stored ? stored : package;
  auto images = std::make_shared<std::vector<QL_LoopScrollView::ImageSource>>();
  if (package_ && !package_->banner().empty()) images->push_back(UrlEscaping::escapeURL(package_->banner()));
  bannerImages_ = std::move(images);
  if (!package_) return;
  package_->setProgress(QLPackageHelper::progressForPackage(*package_, manager_.packageCache()));
  if (package_->progress() < 1) observeProgress();
}

void QLDetailViewController::observeProgress() {
  std::weak_ptr<ViewController> weak = weak_from_this();
  // The package records the progress on the pipeline's threads too; the
  // row belongs to the main thread and shows the value current there.
  progressObserver_ = package_->observeProgress([weak](const double&) {
    MainQueue::shared().async([weak] {
      if (auto self = lockAs<QLDetailViewController>(weak)) self->updateProgressForPackage();
    });
  });
}

void QLDetailViewController::updateProgressForPackage() {
  if (!tableView_ || !package_) return;
  const IndexPath row = IndexPath::forRow(kIntroductionRow, 0);
  auto cell = std::dynamic_pointer_cast<QLIntroductionTableCell>(tableView_->cellForRowAtIndexPath(row));
  if (!cell) return;
  const double progress = package_->progress();
  cell->setProgress(progress > 0 ? progress : 0);
}

void QLDetailViewController::downloadPackage() {
  if (!package_ || downloading_) return;
  downloading_ = true;
  PackagePtr package = package_;
  std::weak_ptr<ViewController> weak = weak_from_this();
  // The download outlives the screen; only its bookkeeping needs the screen.
  manager_.downloadPackage(package, [weak, package](const Status& status) {
    if (!status.ok()) package->setProgress(0);
    if (auto self = lockAs<QLDetailViewController>(weak)) self->downloading_ = false;
  });
}

// --- Screen -----------------------------------------------------------------------

void QLDetailViewController::viewDidLoad() {
  setTitle(localized("Vexa"));
  view()->setBackgroundColor(Color::whiteColor());
  std::weak_ptr<ViewController> weak = weak_from_this();
  navigationItem()->setLeftBarButtonItem(QLBackBarButton::item([weak] {
    if (auto self = lockAs<QLDetailViewController>(weak)) self->backAction();
  }));
  if (package_) {
    view()->setAccessibilityIdentifier("package:" + package_->guid());
    view()->setAccessibilityLabel(package_->name());
  }
  tableView_ = TableView::create(view()->bounds());
  tableView_->setBackgroundColor(Color::whiteColor());
  tableView_->registerClass<QLAdTableCell>(kAdCellIdentifier);
  tableView_->registerClass<QLIntroductionTableCell>(kIntroductionCellIdentifier);
  tableView_->registerClass<QLPreviewTabelCell>(kPreviewCellIdentifier);
  tableView_->registerClass<QLBottomTableCell>(kBottomCellIdentifier);

  // Owned here and held weakly by the table: they end with this screen.
  tableDataSource_ = std::make_shared<TableViewDataSource>();
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
  tableDelegate_->didSelectRowAtIndexPath = [this](TableView& t, const IndexPath& p) {
    didSelectRowAtIndexPath(t, p);
  };
  tableView_->setDataSource(tableDataSource_);
  tableView_->setDelegate(tableDelegate_);
  view()->addSubview(tableView_);

  failedDataSource_ = std::make_shared<QLLoadFailedViewDataSource>();
  failedDataSource_->requestData = [this] { requestData(); };
  if (package_) {
    manager_.logAction(QLRequestTypeViewPackage, Value::dict({{kHTTPPathParamKey, package_->guid()}}));
  }
  fetchData();
}

void QLDetailViewController::viewDidLayoutSubviews() {
  const Rect bounds = view()->bounds();
  const double top = topLayoutGuideLength();
  tableView_->setFrame(Rect(0, top, bounds.width(), bounds.height() - top));
  if (loadFailedView_) loadFailedView_->setFrame(loadFailedFrame());
}

Rect QLDetailViewController::loadFailedFrame() {
  const Rect bounds = view()->bounds();
  return Rect(0, kLoadFailedTop, bounds.width(), bounds.height() - kLoadFailedTop);
}

void QLDetailViewController::fetchData() {
  if (!package_ || !package_->emojis().empty() || loading_) return;
  loading_ = true;
  hud_.show(*this);
  std::weak_ptr<ViewController> weak = weak_from_this();
  manager_.sendRequest(QLRequestTypePackageEmojis, Value::dict({{kHTTPPathParamKey, package_->guid()}}),
                       [weak](const Result<QLResponse>& result) {
                         if (auto self = lockAs<QLDetailViewController>(weak)) self->emojisDidLoad(result);
                       });
}

void QLDetailViewController::emojisDidLoad(const Result<QLResponse>& result) {
  loading_ = false;
  hud_.hide();
  if (!result.ok()) {
    if (!loadFailedView_) showLoadFailedView();
    loadFailedView_->setReloadBtnClick(false);
    return;
  }
  removeLoadFailedView();
  const QLEmojis* emojis = result->emojis();
  package_->setEmojis(emojis ? *emojis : QLPackage::Emojis{});
  if (tableView_) tableView_->reloadData();
}

void QLDetailViewController::showLoadFailedView() {
  removeLoadFailedView();
  loadFailedView_ = QLLoadFailedView::create(loadFailedFrame());
  loadFailedView_->setDataSource(failedDataSource_);
  loadFailedView_->reloadBtn()->setAccessibilityIdentifier("retry");
  view()->addSubview(loadFailedView_);
}

void QLDetailViewController::removeLoadFailedView() {
  if (!loadFailedView_) return;
  loadFailedView_->removeFromSuperview();
  loadFailedView_.reset();
}

void QLDetailViewController::backAction() { QLBackBarButton::goBack(*this); }

void QLDetailViewController::serviceAction() {
  if (auto* navigation = navigationController()) {
    navigation->pushViewController(std::make_shared<QLTermsViewController>(manager_), true);
  }
}

// --- Preview ----------------------------------------------------------------------

View& QLDetailViewController::popoverHost() {
  auto* navigation = navigationController();
  return navigation ? *navigation->view() : *view();
}

void QLDetailViewController::previewEmotion(int index, QLEmotionCollectionCell* cell, bool finished) {
  if (finished) {
    ++previewGeneration_;
    // A press that began over empty space has no preview to close.
    preview_.dismiss();
    return;
  }
  if (!cell || !package_ || index < 0) return;
  const auto& emojis = package_->emojis();
  if (static_cast<size_t>(index) >= emojis.size() || !emojis[static_cast<size_t>(index)]) return;
  const auto emoji = emojis[static_cast<size_t>(index)];
  auto image = manager_.packageCache().imageForKey(emoji->main_image(), *emoji);
  preview_.show(image, *cell, popoverHost());

  const uint64_t generation = ++previewGeneration_;
  if (!image) {
    std::weak_ptr<ViewController> weak = weak_from_this();
    auto show = [weak, generation](const Result<QLDownloadManager::VXEmojis>& found) {
      auto self = lockAs<QLDetailViewController>(weak);
      if (!self || !found.ok() || found->empty() || !found->front()) return;
      self->showPreviewImage(generation, found->front()->emojiImage());
    };
    if (package_->isEmoji()) manager_.fetchSmallEmojisByCodes({emoji->emo_code()}, show);
    else manager_.fetchBigEmojisByCodes({emoji->emo_code()}, show);
  }
  if (auto params = QLDownloadManager::paramsForEmojiActionType(QLRequestTypeViewEmoji, package_->guid(),
                                                                 emoji->guid(), emoji->emo_text())) {
    manager_.logAction(QLRequestTypeViewEmoji, *params);
  }
}

void QLDetailViewController::showPreviewImage(uint64_t generation, const std::shared_ptr<const Image>& image) {
  // The press this picture was asked for has ended or moved on.
  if (generation != previewGeneration_ || !image) return;
  preview_.setImage(image);
}

// --- Table ----------------------------------------------------------------------------

int QLDetailViewController::numberOfRowsInSection(TableView&, int section) const {
  if (section != 0 || !package_) return 0;
  return package_->emojis().empty() ? 3 : 4;
}

double QLDetailViewController::heightForRowAtIndexPath(TableView& table, const IndexPath& path) const {
  const double width = table.bounds().width();
  if (!package_) return 0;
  switch (path.row()) {
    case kBannerRow:
      return width * 200 / 375;
    case kIntroductionRow:
      return QLIntroductionTableCell::cellHeightForDesc(package_->intro(), width);
    case kPreviewRow:
      return QLPreviewTabelCell::cellHeightForEmojiCount(package_->emojis().size(), package_->isEmoji());
    case kFooterRow:
      return kFooterHeight;
    default:
      return 0;
  }
}

std::shared_ptr<TableViewCell> QLDetailViewController::cellForRowAtIndexPath(TableView& table,
                                                                            const IndexPath& path) {
  std::weak_ptr<ViewController> weak = weak_from_this();
  switch (path.row()) {
    case kBannerRow: {
      auto cell = std::static_pointer_cast<QLAdTableCell>(table.dequeueReusableCellWithIdentifier(kAdCellIdentifier));
      cell->setAccessibilityIdentifier("banner");
      cell->loopScrollView()->setImageUrls(bannerImages_);
      return cell;
    }
    case kIntroductionRow: {
      auto cell = std::static_pointer_cast<QLIntroductionTableCell>(
          table.dequeueReusableCellWithIdentifier(kIntroductionCellIdentifier));
      cell->titleLabel()->setText(package_->name());
      cell->descLabel()->setText(package_->intro());
      cell->setProgress(QLPackageHelper::progressForPackage(*package_, manager_.packageCache()));
      cell->downloadView()->setAccessibilityIdentifier("download:" + package_->guid());
      cell->setDownloadHandler([weak](int status) {
        if (status != QLDownloadView::kStatusDownloading) return;
        if (auto self = lockAs<QLDetailViewController>(weak)) self->downloadPackage();
      });
      cell->setNeedsLayout();
      return cell;
    }
    case kPreviewRow: {
      auto cell = std::static_pointer_cast<QLPreviewTabelCell>(
          table.dequeueReusableCellWithIdentifier(kPreviewCellIdentifier));
      cell->setPackageCache(&manager_.packageCache());
      cell->setIsEmoji(package_->isEmoji());
      cell->setEmotions(package_->emojis());
      cell->setEmotionHandler([weak](int index, QLEmotionCollectionCell* emotion, bool finished) {
        if (auto self = lockAs<QLDetailViewController>(weak)) self->previewEmotion(index, emotion, finished);
      });
      return cell;
    }
    default: {
      auto cell = std::static_pointer_cast<QLBottomTableCell>(
          table.dequeueReusableCellWithIdentifier(kBottomCellIdentifier));
      // A package without a copyright line shows the prefix alone, never a
      // placeholder for the missing text.
      cell->bottomView()->copyrightLabel()->setText("Copyright © " + package_->rightCopyRight());
      const auto& service = cell->bottomView()->serviceBtn();
      service->removeAllActions(ControlEventTouchUpInside);
      service->addAction(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = lockAs<QLDetailViewController>(weak)) self->serviceAction();
      });
      return cell;
    }
  }
}

}  // namespace vexa
