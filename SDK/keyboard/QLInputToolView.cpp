#include "vexa/keyboard/QLInputToolView.h"

#include <algorithm>

#include "vexa/keyboard/QLBorderView.h"
#include "vexa/keyboard/QLEmotionInputToolCollectionCell.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/CollectionViewFlowLayout.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

namespace {

const char* const kToolCellIdentifier = "QLEmotionInputToolCollectionCell";

std::shared_ptr<const Image> firstFrame(std::shared_ptr<const Image> image) {
  if (!image || !image->isAnimated()) return image;
  return Image::still(image->firstFrame(), image->scale(), ImageOrientation::Up, image->alphaInfo());
}

}  // namespace

QLInputToolView::QLInputToolView(Rect frame) : View(frame) {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto theme = global.theme();
  const double hairline = Screen::main().hairline();
  setBackgroundColor(Color::whiteColor());

  layout_ = CollectionViewFlowLayout::create();
  layout_->setScrollDirection(ScrollDirection::Horizontal);
  layout_->setMinimumLineSpacing(0);
  layout_->setMinimumInteritemSpacing(0);
  collectionView_ = CollectionView::create(Rect{}, layout_);
  collectionView_->setBackgroundColor(Color::whiteColor());
  collectionView_->setShowsHorizontalScrollIndicator(false);
  collectionView_->setShowsVerticalScrollIndicator(false);
  collectionView_->registerClass<QLEmotionInputToolCollectionCell>(kToolCellIdentifier);

  addBordView_ = QLBorderView::create();
  addBordView_->setDrawOrder({QLBorderView::kEdgeLeft, QLBorderView::kEdgeRight});
  addBordView_->setBorderWidth(hairline, theme->separateColor(), QLBorderView::kAllEdges);

  addBtn_ = Button::create();
  addBtn_->setBackgroundImage(global.base64UIimageWithName("shop"));
  addBtn_->setUserInteractionEnabled(false);
  addBtn_->setAccessibilityIdentifier("shop");
  addBtn_->setAccessibilityLabel(global.localizedStringForKey("Vexa商店"));
  sendBtn_ = Button::create();
  sendBtn_->setTitle(global.localizedStringForKey("发送"));
  sendBtn_->setTitleFont(Font::systemFont(15));
  sendBtn_->setTitleColor(theme->sendBtnTitleColor());
  sendBtn_->setBackgroundColor(theme->sendBtnBgColor());
  sendBtn_->setAccessibilityIdentifier("send");
  // Both buttons are this view's own children, so they never outlive it.
  addBtn_->addAction(ControlEventTouchUpInside, [this](Control&) { send(kActionAdd, kNoIndex); });
  sendBtn_->addAction(ControlEventTouchUpInside, [this](Control&) {
    auto source = dataSource();
    send(kActionSend, source && source->selectedGroupIndex ? source->selectedGroupIndex() : 0);
  });

  addSubview(collectionView_);
  addSubview(addBordView_);
  addSubview(addBtn_);
  addSubview(sendBtn_);
  buildCollectionProtocols();
}

QLInputToolView::~QLInputToolView() = default;

std::shared_ptr<QLInputToolView> QLInputToolView::create(Rect frame) {
  return std::make_shared<QLInputToolView>(frame);
}

double QLInputToolView::buttonWidth() {
  const Screen screen = Screen::main();
  if (screen.isPhone() && screen.longSide() <= 568) return 48;
  if (screen.isPhone() && screen.longSide() == 667) return 57;
  return 62;
}

void QLInputToolView::buildCollectionProtocols() {
  collectionSource_ = std::make_shared<CollectionViewDataSource>();
  collectionSource_->numberOfItemsInSection = [this](CollectionView&, int) {
    return static_cast<int>(numberOfTabs());
  };
  collectionSource_->cellForItemAtIndexPath = [this](CollectionView& view, const IndexPath& path) {
    auto cell = std::static_pointer_cast<QLEmotionInputToolCollectionCell>(
        view.dequeueReusableCell(kToolCellIdentifier, path));
    auto source = dataSource();
    const auto index = static_cast<size_t>(path.item);
    if (source && source->toolImageAtIndex) cell->imgView()->setImage(firstFrame(source->toolImageAtIndex(index)));
    cell->setAccessibilityIdentifier(source && source->toolIdentifierAtIndex ? source->toolIdentifierAtIndex(index) : "");
    cell->setAccessibilityLabel(source && source->toolLabelAtIndex ? source->toolLabelAtIndex(index) : "");
    cell->setNeedsLayout();
    return std::static_pointer_cast<CollectionViewCell>(cell);
  };
  collectionDelegate_ = std::make_shared<CollectionViewDelegate>();
  collectionDelegate_->didSelectItemAtIndexPath = [this](CollectionView&, const IndexPath& path) {
    const auto index = static_cast<size_t>(path.item);
    scrollCellToFullVisibleWhenSelectedIndexPath(index);
    send(kActionTab, index);
    showSendBtnIfNeed(index);
  };
  collectionDelegate_->scrollViewDidEndDragging = [](ScrollView& row, bool decelerate) {
    if (decelerate) return;
    const Size frame = row.frame().size;
    const double maxX = row.contentSize().width - frame.width;
    if (row.contentOffset().x < 0) {
      row.scrollRectToVisible(Rect(0, 0, frame.width, frame.height), true);
    } else if (row.contentOffset().x > maxX) {
      row.scrollRectToVisible(Rect(std::max(0.0, maxX), 0, frame.width, frame.height), true);
    }
  };
  collectionView_->setDataSource(collectionSource_);
  collectionView_->setDelegate(collectionDelegate_);
}

size_t QLInputToolView::numberOfTabs() const {
  auto source = dataSource();
  return source && source->numberOfToolItems ? source->numberOfToolItems() : 0;
}

void QLInputToolView::send(int action, size_t index) {
  auto d = delegate();
  if (d && d->inputToolViewTriggerAction) d->inputToolViewTriggerAction(*this, action, index);
}

void QLInputToolView::reloadData() {
  collectionView_->reloadData();
  const size_t tabs = numberOfTabs();
  addBtn_->setUserInteractionEnabled(tabs > 0);
  if (tabs == 0) return;
  auto source = dataSource();
  size_t selected = source && source->selectedGroupIndex ? source->selectedGroupIndex() : 0;
  if (selected >= tabs) selected = 0;
  layoutIfNeeded();
  collectionView_->selectItemAtIndexPath(IndexPath::forItem(static_cast<int>(selected), 0), false,
                                         CollectionViewScrollPosition::CenteredHorizontally);
  showSendBtnIfNeed(selected);
}

void QLInputToolView::selectGroup(size_t index) {
  if (index >= numberOfTabs()) return;
  collectionView_->selectItemAtIndexPath(IndexPath::forItem(static_cast<int>(index), 0), false,
                                         CollectionViewScrollPosition::CenteredHorizontally);
  showSendBtnIfNeed(index);
}

bool QLInputToolView::shouldSendSendBtn(size_t index) {
  auto source = dataSource();
  const bool recommend = source && source->shouldShowRecommendGroup && source->shouldShowRecommendGroup();
  if (recommend && index == 0) {
    shouldSendSendBtn_ = false;
  } else {
    const size_t section = recommend ? index - 1 : index;
    shouldSendSendBtn_ = source && source->shouldContainedSendButtonAtIndex &&
                         source->shouldContainedSendButtonAtIndex(section);
  }
  return shouldSendSendBtn_;
}

void QLInputToolView::showSendBtnIfNeed(size_t index) {
  const double W = bounds().width();
  const bool shown = sendBtn_->frame().minX() != W;
  const bool wanted = shouldSendSendBtn(index);
  auto scrollSelected = [this] {
    auto source = dataSource();
    scrollCellToFullVisibleWhenSelectedIndexPath(
        source && source->selectedGroupIndex ? source->selectedGroupIndex() : 0);
  };
  if (shown == wanted) {
    scrollSelected();
    return;
  }
  std::weak_ptr<View> weak = weak_from_this();
  ViewAnimation::animate(kSendSlideDuration, [this, wanted, W] {
    Rect send = sendBtn_->frame();
    send.origin.x = wanted ? W - send.width() : W;
    sendBtn_->setFrame(send);
    Rect row = collectionView_->frame();
    row.size.width = W - addBtn_->frame().width() - (wanted ? send.width() : 0);
    collectionView_->setFrame(row);
  }, [weak, scrollSelected](bool) {
    if (weak.lock()) scrollSelected();
  });
}

void QLInputToolView::scrollCellToFullVisibleWhenSelectedIndexPath(size_t index) {
  auto attributes = collectionView_->layoutAttributesForItemAtIndexPath(
      IndexPath::forItem(static_cast<int>(index), 0));
  if (!attributes) return;
  const Rect cell = attributes->frame();
  const double x0 = collectionView_->contentOffset().x;
  const Size visible = collectionView_->frame().size;
  // Never past the last page of tabs: the row rests within its content.
  const double maxX = std::max(0.0, collectionView_->contentSize().width - visible.width);
  double x = x0;
  if (cell.minX() <= x0) {
    x = std::max(0.0, x0 - cell.width());
  } else if (cell.maxX() >= x0 + visible.width) {
    x = std::min(maxX, x0 + cell.width());
  }
  collectionView_->scrollRectToVisible(Rect(x, 0, visible.width, visible.height), true);
}

void QLInputToolView::layoutSubviews() {
  const double W = bounds().width(), H = bounds().height();
  const double b = buttonWidth(), h = Screen::main().hairline();
  addBtn_->setFrame(Rect(0, 0, b, H));
  if (shouldSendSendBtn_) {
    addBordView_->setFrame(Rect(W - b, 0, b, H));
    sendBtn_->setFrame(Rect(W - b + h, 0, b - h, H));
    collectionView_->setFrame(Rect(b, 0, W - b - (b - h), H));
  } else {
    addBordView_->setFrame(Rect(W, 0, b, H));
    sendBtn_->setFrame(Rect(W, 0, b - h, H));
    collectionView_->setFrame(Rect(b, 0, W - b, H));
  }
  layout_->setItemSize(Size{b, H});
}

}  // namespace vexa
