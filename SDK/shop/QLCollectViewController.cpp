#include "vexa/shop/QLCollectViewController.h"

#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/BarButtonItem.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/shop/QLBackBarButton.h"
#include "vexa/shop/QLCollectionGridLayout.h"
#include "vexa/shop/QLEmotionCollectionCell.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

constexpr const char* kEmotionCellIdentifier = "QLEmotionCollectionCell";

std::string localized(const std::string& key) {
  return QLEmotionGlobal::sharedInstance().localizedStringForKey(key);
}

}  // namespace

QLCollectViewController::QLCollectViewController() {
  auto placeholder = QLEmotionGlobal::sharedInstance().base64UIimageWithName("shop");
  dataSource_.assign(kPlaceholderCount, placeholder);
}

QLCollectViewController::~QLCollectViewController() = default;

std::string QLCollectViewController::deleteTitleForCount(size_t count) {
  std::string title = localized("删除 ( %@ )");
  const auto placeholder = title.find("%@");
  if (placeholder == std::string::npos) return title;
  return title.replace(placeholder, 2, std::to_string(count));
}

void QLCollectViewController::viewDidLoad() {
  view()->setBackgroundColor(Color::whiteColor());
  layout_ = QLCollectionGridLayout::create();
  layout_->setNumberOfItemsPerLine(kItemsPerLine);
  const Screen screen = Screen::main();
  const bool small = screen.isPhone() && screen.longSide() <= 568;
  const double spacing = small ? 19 : 25;
  layout_->setInteritemSpacing(spacing);
  layout_->setLineSpacing(spacing);
  layout_->setSectionInset(small ? EdgeInsets{14, 19.5, 14, 19.5} : EdgeInsets{19, 21, 19, 21});

  collectionView_ = CollectionView::create(view()->bounds(), layout_);
  collectionView_->setBackgroundColor(Color::whiteColor());
  collectionView_->registerClass<QLEmotionCollectionCell>(kEmotionCellIdentifier);
  // Owned here and held weakly by the grid: they end with this screen.
  collectionDataSource_ = std::make_shared<CollectionViewDataSource>();
  collectionDataSource_->numberOfItemsInSection = [this](CollectionView& v, int s) {
    return numberOfItemsInSection(v, s);
  };
  collectionDataSource_->cellForItemAtIndexPath = [this](CollectionView& v, const IndexPath& p) {
    return cellForItemAtIndexPath(v, p);
  };
  collectionDelegate_ = std::make_shared<CollectionViewDelegate>();
  collectionDelegate_->didSelectItemAtIndexPath = [this](CollectionView& v, const IndexPath& p) {
    didSelectItemAtIndexPath(v, p);
  };
  collectionView_->setDataSource(collectionDataSource_);
  collectionView_->setDelegate(collectionDelegate_);
  view()->addSubview(collectionView_);
  std::weak_ptr<ViewController> weak = weak_from_this();
  navigationItem()->setLeftBarButtonItem(QLBackBarButton::item([weak] {
    if (auto self = std::static_pointer_cast<QLCollectViewController>(weak.lock())) self->backAction();
  }));
  updateTitle();
}

void QLCollectViewController::viewDidLayoutSubviews() {
  const Rect bounds = view()->bounds();
  const double top = topLayoutGuideLength();
  collectionView_->setFrame(Rect(0, top, bounds.width(), bounds.height() - top));
}

void QLCollectViewController::setDataSource(std::vector<ImagePtr> images) {
  dataSource_ = std::move(images);
  selectedIndexs_.clear();
  updateTitle();
  if (collectionView_) collectionView_->reloadData();
}

void QLCollectViewController::setEditing(bool editing) {
  editing_ = editing;
  if (!editing_) selectedIndexs_.clear();
  updateTitle();
  if (collectionView_) collectionView_->reloadData();
}

void QLCollectViewController::updateTitle() {
  setTitle(editing_ ? deleteTitleForCount(selectedIndexs_.size()) : localized("我的收藏表情"));
  if (!isViewLoaded() || editing_ == editItemShowsDelete_) return;
  // The bar button follows the mode: "编辑" to start, the delete picture to end.
  std::weak_ptr<ViewController> weak = weak_from_this();
  auto edit = [weak] {
    if (auto self = std::static_pointer_cast<QLCollectViewController>(weak.lock())) self->editAction();
  };
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto item = editing_ ? BarButtonItem::withImage(global.base64UIimageWithName("delete"), edit)
                       : BarButtonItem::withTitle(localized("编辑"), edit);
  item->view()->setAccessibilityIdentifier(editing_ ? "delete" : "edit");
  item->view()->setAccessibilityLabel(editing_ ? localized("删除") : localized("编辑"));
  navigationItem()->setRightBarButtonItem(item);
  editItemShowsDelete_ = editing_;
}

void QLCollectViewController::editAction() {
  if (editing_ && !selectedIndexs_.empty()) {
    auto remove = [this] {
      std::vector<IndexPath> deleted;
      // From the back, so the earlier indexes stay valid while erasing.
      for (auto it = selectedIndexs_.rbegin(); it != selectedIndexs_.rend(); ++it) {
        if (static_cast<size_t>(*it) >= dataSource_.size()) continue;
        dataSource_.erase(dataSource_.begin() + *it);
        deleted.push_back(IndexPath::forItem(*it, 0));
      }
      if (collectionView_) collectionView_->deleteItemsAtIndexPaths(deleted);
    };
    if (collectionView_) collectionView_->performBatchUpdates(remove);
    else remove();
  }
  selectedIndexs_.clear();
  setEditing(!editing_);
}

void QLCollectViewController::backAction() { QLBackBarButton::goBack(*this); }

int QLCollectViewController::numberOfItemsInSection(CollectionView&, int section) const {
  if (section != 0) return 0;
  return static_cast<int>(dataSource_.size()) + (editing_ ? 0 : 1);
}

std::shared_ptr<CollectionViewCell> QLCollectViewController::cellForItemAtIndexPath(CollectionView& view,
                                                                                   const IndexPath& path) {
  auto cell = std::static_pointer_cast<QLEmotionCollectionCell>(
      view.dequeueReusableCell(kEmotionCellIdentifier, path));
  const auto index = static_cast<size_t>(path.item);
  if (index < dataSource_.size()) {
    cell->setAccessibilityIdentifier("favourite:" + std::to_string(index));
    cell->setAccessibilityLabel(localized("我的收藏表情") + " " + std::to_string(index + 1));
    cell->imgView()->setImage(dataSource_[index]);
    if (!editing_) cell->setCellStatus(QLEmotionCollectionCell::kStatusPlain);
    else if (selectedIndexs_.count(path.item)) cell->setCellStatus(QLEmotionCollectionCell::kStatusSelected);
    else cell->setCellStatus(QLEmotionCollectionCell::kStatusGray);
  } else {
    cell->setAccessibilityIdentifier("add");
    cell->setAccessibilityLabel(localized("添加"));
    cell->imgView()->setImage(QLEmotionGlobal::sharedInstance().base64UIimageWithName("add"));
    cell->setCellStatus(QLEmotionCollectionCell::kStatusPlain);
  }
  return cell;
}

void QLCollectViewController::didSelectItemAtIndexPath(CollectionView& view, const IndexPath& path) {
  if (!editing_ || path.item < 0 || static_cast<size_t>(path.item) >= dataSource_.size()) return;
  auto cell = std::dynamic_pointer_cast<QLEmotionCollectionCell>(view.cellForItemAtIndexPath(path));
  if (selectedIndexs_.erase(path.item)) {
    if (cell) cell->setCellStatus(QLEmotionCollectionCell::kStatusGray);
  } else {
    selectedIndexs_.insert(path.item);
    if (cell) cell->setCellStatus(QLEmotionCollectionCell::kStatusSelected);
  }
  updateTitle();
}

}  // namespace vexa
