// Input tips: while the user types with the system keyboard, the manager
// watches one text input; whenever its whole text is the keyword (emo_text,
// ignoring case) of stored emojis, a popover above a view the host chose
// (usually the input bar) shows a row of them, 50 points each with 10
// between (60n - 10 wide, at most the screen's width; the row scrolls). A
// tap hands the emoji and its package to the selection handler and closes
// the popover; otherwise it closes after 5 seconds or at the next change of
// the text. The popover lets touches through, so typing goes on meanwhile,
// and it opens in the view of the screen on top (a presented screen's when
// one is up), where it cannot be hidden under it.
//
// Tip cells are identified "tip:CODE" and labelled with the emoji's text.
//
// Detached -> attached (view and input held weakly, the input's text
// changes observed) -> tips shown -> attached again. deAttach() returns to
// detached from any state; it leaves an open popover to its timer.
//
// Main thread only. Emojis and images come from the given store.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "vexa/platform/CallbackList.h"
#include "vexa/platform/Timer.h"
#include "vexa/store/QLEmoji.h"
#include "vexa/store/QLPackage.h"
#include "vexa/store/QLPackageCache.h"

namespace vexa {

class CollectionView;
class QLPopoverView;
class View;
struct CollectionViewDataSource;
struct CollectionViewDelegate;

class VXTipManager {
 public:
  using EmojiPtr = std::shared_ptr<QLEmoji>;
  using PackagePtr = std::shared_ptr<QLPackage>;
  using SelectedHandler = std::function<void(const EmojiPtr& emoji, const PackagePtr& package)>;

  static constexpr double kTipSide = 50;
  static constexpr double kTipSpacing = 10;
  static constexpr double kDismissDelay = 5.0;

  explicit VXTipManager(QLPackageCache& store = QLPackageCache::defaultCache());
  ~VXTipManager();
  static std::shared_ptr<VXTipManager> create(QLPackageCache& store = QLPackageCache::defaultCache()) {
    return std::make_shared<VXTipManager>(store);
  }
  VXTipManager(const VXTipManager&) = delete;
  VXTipManager& operator=(const VXTipManager&) = delete;

  const SelectedHandler& selectedHandler() const { return selectedHandler_; }
  void setSelectedHandler(SelectedHandler handler) { selectedHandler_ = std::move(handler); }

  // Watches `input` (a text field or text view on screen; any other input
  // is held but never shows tips) and shows tips above `view`, after
  // letting go of what it watched before. Either missing: deAttach().
  void attachTipToView(const std::shared_ptr<View>& view, const std::shared_ptr<View>& input);
  // Forgets the view and the input and stops watching.
  void deAttach();

  // The input's text changed: closes the tips, then shows those of its
  // whole text, if any.
  void textDidChange();
  // Shows the current tips above the view (while it exists) for 5 seconds.
  void showTips();
  void dismissTips();

  std::shared_ptr<View> attchedView() const { return attachedView_.lock(); }
  std::shared_ptr<View> inputView() const { return inputView_.lock(); }
  bool canRemoveObserver() const { return textChanges_.active(); }
  const std::vector<EmojiPtr>& emojis() const { return emojis_; }
  // Made on first use.
  const std::shared_ptr<QLPopoverView>& popover();
  const std::shared_ptr<View>& contentView();
  const std::shared_ptr<CollectionView>& collectionView();
  // The automatic dismissal is pending.
  bool isTimerPending() const { return timer_ && timer_->isValid(); }

 private:
  void layoutContent();
  void didSelectTip(size_t index);

  QLPackageCache& store_;
  SelectedHandler selectedHandler_;
  std::unique_ptr<Timer> timer_;
  std::shared_ptr<QLPopoverView> popover_;
  std::weak_ptr<View> attachedView_;
  std::weak_ptr<View> inputView_;
  std::shared_ptr<CollectionView> collectionView_;
  std::shared_ptr<View> contentView_;
  std::shared_ptr<CollectionViewDataSource> rowSource_;
  std::shared_ptr<CollectionViewDelegate> rowDelegate_;
  Subscription textChanges_;
  std::vector<EmojiPtr> emojis_;
};

}  // namespace vexa
