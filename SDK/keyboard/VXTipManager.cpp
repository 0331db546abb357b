#include "vexa/keyboard/VXTipManager.h"

#include <algorithm>

#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/Application.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/CollectionViewFlowLayout.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/TextAreaView.h"
#include "vexa/platform/ui/TextFieldView.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/shop/QLEmotionCollectionCell.h"
#include "vexa/store/QLPackageHelper.h"
#include "vexa/support/QLPopoverView.h"

namespace vexa {

namespace {

constexpr const char* kCellIdentifier = "QLEmotionCollectionCell";

// The view of the screen on top: tips shown in the root screen's view would
// lie under a presented screen.
std::shared_ptr<View> topScreenView() {
  auto window = Application::shared().keyWindow();
  auto screen = window ? window->rootViewController() : nullptr;
  if (!screen) return nullptr;
  while (screen->presentedViewController()) screen = screen->presentedViewController();
  return screen->view();
}

}  // namespace

VXTipManager::VXTipManager(QLPackageCache& store) : store_(store) {}

VXTipManager::~VXTipManager() {
  textChanges_.reset();
  if (popover_ && popover_->isShowing()) popover_->dismiss();
}

void VXTipManager::attachTipToView(const std::shared_ptr<View>& view, const std::shared_ptr<View>& input) {
  // Whatever was watched before is let go first: one input at a time.
  deAttach();
  if (!view || !input) return;
  attachedView_ = view;
  inputView_ = input;
  const char* name = nullptr;
  if (std::dynamic_pointer_cast<TextFieldView>(input)) name = kTextFieldTextDidChangeNotification;
  if (std::dynamic_pointer_cast<TextAreaView>(input)) name = kTextViewTextDidChangeNotification;
  if (!name) return;
  // The subscription is this manager's own, so `this` outlives every call.
  textChanges_ = NotificationCenter::defaultCenter().addObserver(
      name, [this](const Notification&) { textDidChange(); }, static_cast<const View*>(input.get()));
}

void VXTipManager::deAttach() {
  attachedView_.reset();
  inputView_.reset();
  textChanges_.reset();
}

void VXTipManager::textDidChange() {
  dismissTips();
  auto input = std::dynamic_pointer_cast<TextInputView>(inputView_.lock());
  if (!input) return;
  const std::string& text = input->input().text();
  if (text.empty()) return;
  auto found = QLPackageHelper::emojisWithKeyword(text, store_);
  emojis_ = found ? std::move(*found) : std::vector<EmojiPtr>();
  if (!emojis_.empty()) showTips();
}

void VXTipManager::showTips() {
  auto anchorView = attachedView_.lock();
  if (!anchorView) return;
  if (timer_) timer_->invalidate();
  auto container = topScreenView();
  if (!container) return;
  const Rect anchor = anchorView->convertRectToView(anchorView->bounds(), container.get());
  layoutContent();
  popover()->showAtPoint(Point{anchor.midX(), anchor.minY()}, QLPopoverPosition::Up, contentView(), container);
  // The timer is this manager's own: destroying it ends the callback.
  timer_ = Timer::scheduled(seconds(kDismissDelay), false, [this](Timer&) { dismissTips(); });
}

void VXTipManager::dismissTips() {
  if (timer_) timer_->invalidate();
  if (popover_ && popover_->isShowing()) popover_->dismiss();
}

const std::shared_ptr<QLPopoverView>& VXTipManager::popover() {
  if (!popover_) {
    popover_ = QLPopoverView::create();
    popover_->setAnimated(false);
    // Clear and letting touches through: the user keeps typing.
    popover_->setMaskType(QLPopoverMaskType::None);
  }
  return popover_;
}

const std::shared_ptr<View>& VXTipManager::contentView() {
  if (!contentView_) {
    contentView_ = View::create();
    contentView_->setBackgroundColor(Color::whiteColor().withAlpha(0.5));
    contentView_->addSubview(collectionView());
  }
  return contentView_;
}

const std::shared_ptr<CollectionView>& VXTipManager::collectionView() {
  if (collectionView_) return collectionView_;
  auto layout = CollectionViewFlowLayout::create();
  layout->setScrollDirection(ScrollDirection::Horizontal);
  layout->setItemSize(Size{kTipSide, kTipSide});
  layout->setMinimumLineSpacing(kTipSpacing);
  layout->setMinimumInteritemSpacing(kTipSpacing);
  collectionView_ = CollectionView::create(Rect(), layout);
  collectionView_->setBackgroundColor(std::nullopt);
  collectionView_->registerClass<QLEmotionCollectionCell>(kCellIdentifier);

  // Both structs are this manager's own; the row holds them weakly.
  rowSource_ = std::make_shared<CollectionViewDataSource>();
  rowSource_->numberOfItemsInSection = [this](CollectionView&, int) { return static_cast<int>(emojis_.size()); };
  rowSource_->cellForItemAtIndexPath = [this](CollectionView& row,
                                              const IndexPath& path) -> std::shared_ptr<CollectionViewCell> {
    auto cell = std::dynamic_pointer_cast<QLEmotionCollectionCell>(row.dequeueReusableCell(kCellIdentifier, path));
    if (!cell || path.item < 0 || static_cast<size_t>(path.item) >= emojis_.size()) return cell;
    const auto& emoji = emojis_[static_cast<size_t>(path.item)];
    cell->imgView()->setImage(emoji ? store_.imageForKey(emoji->main_image(), *emoji) : nullptr);
    cell->setAccessibilityIdentifier(emoji ? "tip:" + emoji->emo_code() : std::string());
    cell->setAccessibilityLabel(emoji ? emoji->emo_text() : std::string());
    cell->setIsAccessibilityElement(true);
    return cell;
  };
  rowDelegate_ = std::make_shared<CollectionViewDelegate>();
  rowDelegate_->didSelectItemAtIndexPath = [this](CollectionView&, const IndexPath& path) {
    if (path.item >= 0) didSelectTip(static_cast<size_t>(path.item));
  };
  collectionView_->setDataSource(rowSource_);
  collectionView_->setDelegate(rowDelegate_);
  return collectionView_;
}

void VXTipManager::layoutContent() {
  const double n = static_cast<double>(emojis_.size());
  const double width = std::min(Screen::main().bounds.width(), (kTipSide + kTipSpacing) * n - kTipSpacing);
  contentView()->setFrame(Rect(0, 0, std::max(0.0, width), kTipSide));
  collectionView()->setFrame(contentView()->bounds());
  collectionView()->setContentOffset(Point{});
  collectionView()->reloadData();
}

void VXTipManager::didSelectTip(size_t index) {
  // Kept before the dismissal: nothing of the row is touched afterwards.
  EmojiPtr emoji = index < emojis_.size() ? emojis_[index] : nullptr;
  dismissTips();
  if (!selectedHandler_ || !emoji) return;
  auto package = QLPackageHelper::packageWithEmojiGuid(emoji->guid(), store_);
  if (package) selectedHandler_(emoji, package);
}

}  // namespace vexa
