#include "vexa/shop/QLPreviewTabelCell.h"

#include "vexa/platform/Screen.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/LongPressGestureRecognizer.h"
#include "vexa/shop/QLEmotionCollectionCell.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/store/image/loader/QLImageLoadTarget.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

constexpr const char* kEmotionCellIdentifier = "QLEmotionCollectionCell";

struct PreviewMetrics {
  double side;      // margin at both sides
  double lineGap;   // between a hairline and the hint
  double gridTop;   // between the hint and the grid
  double bottom;    // below the grid
  double spacing;   // between grid items and lines
};

PreviewMetrics previewMetrics() {
  const Screen screen = Screen::main();
  if (screen.isPhone() && screen.longSide() <= 568) return {12, 7, 16, 31, 17};
  if (screen.isPhone() && screen.longSide() == 667) return {15, 10, 20, 40, 21};
  return {20, 12, 20, 46, 25};
}

std::shared_ptr<Label> makeTipLabel() {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto theme = global.theme();
  auto label = Label::create();
  label->setTextColor(theme->detailPackagePreviewColor());
  label->setFont(theme->detailPackagePreviewFont());
  label->setText(global.localizedStringForKey("长按表情可预览"));
  return label;
}

}  // namespace

QLPreviewTabelCell::QLPreviewTabelCell() {
  auto theme = QLEmotionGlobal::sharedInstance().theme();
  setSelectionStyle(SelectionStyle::None);
  leftLine_ = View::create();
  leftLine_->setBackgroundColor(theme->separateColor());
  rightLine_ = View::create();
  rightLine_->setBackgroundColor(theme->separateColor());
  tipLabel_ = makeTipLabel();

  const PreviewMetrics m = previewMetrics();
  gridLayout_ = QLInputCollectionPageGridLayout::create();
  gridLayout_->setItemSpacing(m.spacing);
  gridLayout_->setLineSpacing(m.spacing);
  // The delegates live in this cell, which owns the grid: they never dangle.
  gridDelegate_ = std::make_shared<QLInputCollectionPageGridLayoutDelegate>();
  gridDelegate_->rowsOfSection = [this](int s) { return rowsOfSection(s); };
  gridDelegate_->columsOfSection = [this](int s) { return columsOfSection(s); };
  gridLayout_->setGridLayoutDelegate(gridDelegate_);

  collectionView_ = CollectionView::create(Rect(0, 0, 1, 1), gridLayout_);
  collectionView_->setBackgroundColor(std::nullopt);
  collectionView_->setPagingEnabled(true);
  collectionView_->setAllowsSelection(false);
  collectionView_->setShowsHorizontalScrollIndicator(false);
  collectionView_->registerClass<QLEmotionCollectionCell>(kEmotionCellIdentifier);
  dataSource_ = std::make_shared<CollectionViewDataSource>();
  dataSource_->numberOfItemsInSection = [this](CollectionView& v, int s) {
    return numberOfItemsInSection(v, s);
  };
  dataSource_->cellForItemAtIndexPath = [this](CollectionView& v, const IndexPath& p) {
    return cellForItemAtIndexPath(v, p);
  };
  collectionView_->setDataSource(dataSource_);

  longGestureRecognizer_ = LongPressGestureRecognizer::create(
      [this](GestureRecognizer& recognizer) { handleLongPressGesture(recognizer); });
  for (const auto& other : collectionView_->gestureRecognizers()) {
    if (std::dynamic_pointer_cast<LongPressGestureRecognizer>(other)) {
      other->requireGestureRecognizerToFail(longGestureRecognizer_);
    }
  }
  collectionView_->addGestureRecognizer(longGestureRecognizer_);

  for (const auto& view : std::initializer_list<std::shared_ptr<View>>{
           leftLine_, rightLine_, tipLabel_, collectionView_}) {
    contentView()->addSubview(view);
  }
}

QLPreviewTabelCell::~QLPreviewTabelCell() = default;

int QLPreviewTabelCell::gridRowsForEmojiCount(size_t count, bool isEmoji) {
  const size_t columns = isEmoji ? kSmallColumns : kBigColumns;
  return static_cast<int>((count + columns - 1) / columns);
}

double QLPreviewTabelCell::reservedHeight() {
  const PreviewMetrics m = previewMetrics();
  return makeTipLabel()->sizeThatFits(Size{}).height + m.gridTop + m.bottom;
}

double QLPreviewTabelCell::cellHeightForEmojiCount(size_t count, bool isEmoji) {
  if (count == 0) return 0;
  const double rowHeight = isEmoji ? kSmallRowHeight : kBigRowHeight;
  return gridRowsForEmojiCount(count, isEmoji) * rowHeight + reservedHeight();
}

void QLPreviewTabelCell::setEmotions(Emojis emotions) {
  if (emotions == emotions_) return;
  emotions_ = std::move(emotions);
  collectionView_->reloadData();
}

void QLPreviewTabelCell::setIsEmoji(bool isEmoji) {
  if (isEmoji == isEmoji_) return;
  isEmoji_ = isEmoji;
  collectionView_->reloadData();
}

QLPackageCache& QLPreviewTabelCell::store() const {
  return store_ ? *store_ : QLPackageCache::defaultCache();
}

int QLPreviewTabelCell::rowsOfSection(int) const {
  if (emotions_.empty()) return 2;
  return gridRowsForEmojiCount(emotions_.size(), isEmoji_);
}

int QLPreviewTabelCell::columsOfSection(int) const { return isEmoji_ ? kSmallColumns : kBigColumns; }

int QLPreviewTabelCell::numberOfItemsInSection(CollectionView&, int) const {
  return static_cast<int>(emotions_.size());
}

std::shared_ptr<CollectionViewCell> QLPreviewTabelCell::cellForItemAtIndexPath(CollectionView& view,
                                                                              const IndexPath& path) {
  auto cell = std::static_pointer_cast<QLEmotionCollectionCell>(
      view.dequeueReusableCell(kEmotionCellIdentifier, path));
  const auto index = static_cast<size_t>(path.item);
  if (index >= emotions_.size() || !emotions_[index]) return cell;
  const QLEmoji& emoji = *emotions_[index];
  cell->setAccessibilityIdentifier("preview:" + emoji.emo_code());
  cell->setAccessibilityLabel(emoji.emo_text().empty() ? emoji.emo_code() : emoji.emo_text());
  showThumbnail(*cell, emoji);
  return cell;
}

void QLPreviewTabelCell::showThumbnail(QLEmotionCollectionCell& cell, const QLEmoji& emoji) {
  auto& load = thumbnailLoads_[&cell];
  if (!load) load = std::make_unique<QLImageLoadTarget>();
  load->cancelImageLoad();
  if (auto cached = store().imageForKey(emoji.thumbail(), emoji)) {
    cell.imgView()->setImage(cached);
    return;
  }
  cell.imgView()->setImage(nullptr);
  if (emoji.thumbail().empty()) return;
  std::weak_ptr<ImageView> weak = cell.imgView();
  load->setImageWithURL(UrlEscaping::escapeURL(emoji.thumbail()),
                        [weak](const std::shared_ptr<const Image>& image, const std::optional<Error>&) {
                          auto view = weak.lock();
                          if (view && image) view->setImage(image);
                        });
}

void QLPreviewTabelCell::handleLongPressGesture(GestureRecognizer& recognizer) {
  switch (recognizer.state()) {
    case GestureRecognizerState::Began: {
      const auto path = collectionView_->indexPathForItemAtPoint(recognizer.locationInView(collectionView_.get()));
      if (!path || !emotionHandler_) return;
      auto cell = std::dynamic_pointer_cast<QLEmotionCollectionCell>(
          collectionView_->cellForItemAtIndexPath(*path));
      if (cell) emotionHandler_(path->item, cell.get(), false);
      break;
    }
    case GestureRecognizerState::Ended:
    case GestureRecognizerState::Cancelled:
      if (emotionHandler_) emotionHandler_(0, nullptr, true);
      break;
    default:
      break;
  }
}

void QLPreviewTabelCell::layoutSubviews() {
  TableViewCell::layoutSubviews();
  const Rect content = contentView()->bounds();
  const double W = content.width(), H = content.height();
  const double px = Screen::main().hairline();
  const PreviewMetrics m = previewMetrics();
  const Size tip = tipLabel_->sizeThatFits(Size{});
  tipLabel_->setFrame(Rect((W - tip.width) / 2, 0, tip.width, tip.height));
  const double line = (W - (tip.width + 2 * m.side + 2 * m.lineGap)) / 2;
  leftLine_->setFrame(Rect(m.side, (tip.height - px) / 2, line, px));
  rightLine_->setFrame(Rect(tipLabel_->frame().maxX() + m.lineGap, leftLine_->frame().minY(), line, px));
  const double gridTop = tipLabel_->frame().maxY() + m.gridTop;
  collectionView_->setFrame(Rect(m.side, gridTop, W - 2 * m.side, std::max(0.0, H - gridTop - m.bottom)));
}

}  // namespace vexa
