// The emotion keyboard's tool bar: from left to right the add (shop)
// button, a horizontally scrolling row of tabs (one icon per group, the
// recommended group first while it is shown) and a send button that slides
// in from the right edge only while the selected tab's package carries
// backspace keys. Button widths by screen class: 48, 57 or 62 points; every
// tab is as wide as a button.
//
// Actions told to the delegate: 0 a tab (its index), 1 the add button
// (index all bits set), 2 the send button (the selected group index). The
// add button takes touches only while there is at least one tab.
//
// Main thread only. Data source and delegate are held weakly; every member
// is optional (a missing answer counts as 0, none or no).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "vexa/platform/Image.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class Button;
class CollectionView;
class CollectionViewFlowLayout;
class QLBorderView;
class QLInputToolView;
struct CollectionViewDataSource;
struct CollectionViewDelegate;

struct QLInputToolViewDataSource {
  virtual ~QLInputToolViewDataSource() = default;
  std::function<size_t()> numberOfToolItems;
  std::function<std::shared_ptr<const Image>(size_t index)> toolImageAtIndex;
  // The tab selected on reload and reported with a send.
  std::function<size_t()> selectedGroupIndex;
  // Asked with a section index (the tab less the recommended group).
  std::function<bool(size_t section)> shouldContainedSendButtonAtIndex;
  std::function<bool()> shouldShowRecommendGroup;
  // For tools: a tab's identifier ("tab:GUID") and label.
  std::function<std::string(size_t index)> toolIdentifierAtIndex;
  std::function<std::string(size_t index)> toolLabelAtIndex;
};

struct QLInputToolViewDelegate {
  virtual ~QLInputToolViewDelegate() = default;
  std::function<void(QLInputToolView& view, int action, size_t index)> inputToolViewTriggerAction;
};

class QLInputToolView : public View {
 public:
  static constexpr int kActionTab = 0;
  static constexpr int kActionAdd = 1;
  static constexpr int kActionSend = 2;
  static constexpr size_t kNoIndex = static_cast<size_t>(-1);
  // The send button's slide.
  static constexpr double kSendSlideDuration = 0.3;

  explicit QLInputToolView(Rect frame = {});
  ~QLInputToolView() override;
  static std::shared_ptr<QLInputToolView> create(Rect frame = {});

  void setDataSource(std::weak_ptr<QLInputToolViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
  }
  std::shared_ptr<QLInputToolViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDelegate(std::weak_ptr<QLInputToolViewDelegate> delegate) { delegate_ = std::move(delegate); }
  std::shared_ptr<QLInputToolViewDelegate> delegate() const { return delegate_.lock(); }

  const std::shared_ptr<CollectionView>& collectionView() const { return collectionView_; }
  const std::shared_ptr<Button>& addBtn() const { return addBtn_; }
  const std::shared_ptr<Button>& sendBtn() const { return sendBtn_; }
  const std::shared_ptr<QLBorderView>& addBordView() const { return addBordView_; }
  bool shouldSendSendBtn() const { return shouldSendSendBtn_; }

  // Width of the buttons and tabs for the main screen.
  static double buttonWidth();

  // Reloads the tabs and selects the data source's selected tab.
  void reloadData();
  // Selects a tab (centred) and slides the send button as it needs; an
  // index past the last tab is ignored.
  void selectGroup(size_t index);
  // Whether the send button is wanted for a tab; stored.
  bool shouldSendSendBtn(size_t index);
  void showSendBtnIfNeed(size_t index);
  // Scrolls the row by one tab when the tab at `index` is cut at an edge.
  void scrollCellToFullVisibleWhenSelectedIndexPath(size_t index);

  void layoutSubviews() override;

 private:
  void buildCollectionProtocols();
  size_t numberOfTabs() const;
  void send(int action, size_t index);

  std::weak_ptr<QLInputToolViewDataSource> dataSource_;
  std::weak_ptr<QLInputToolViewDelegate> delegate_;
  bool shouldSendSendBtn_ = false;
  std::shared_ptr<CollectionViewFlowLayout> layout_;
  std::shared_ptr<CollectionView> collectionView_;
  std::shared_ptr<CollectionViewDataSource> collectionSource_;
  std::shared_ptr<CollectionViewDelegate> collectionDelegate_;
  std::shared_ptr<Button> addBtn_;
  std::shared_ptr<Button> sendBtn_;
  std::shared_ptr<QLBorderView> addBordView_;
};

}  // namespace vexa
