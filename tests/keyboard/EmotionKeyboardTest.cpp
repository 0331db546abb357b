// The keyboard against the reference service: pages, backspace keys, the
// tool bar, swipes between groups, the preview, the recommended group and
// its downloads, the shop button.
#include "KeyboardTestSupport.h"
#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include "vexa/keyboard/QLInputCollectionCell.h"
#include "vexa/keyboard/QLInputItemGroupView.h"
#include "vexa/keyboard/QLInputToolView.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/PageControl.h"
#include "vexa/shop/QLInputCollectionPageGridLayout.h"
#include "vexa/shop/QLRecommendCollectionCell.h"
#include "vexa/store/QLPackageHelper.h"
#include "support/MainQueueTesting.h"
#include "vexa/support/QLPopoverView.h"

namespace vexa {
namespace {

using test::KeyboardTest;

// Every recommended package is stored: no recommended group.
void noRecommendations(QLEmotionKeyboardSession& session) {
  auto none = std::make_shared<QLCategory>();
  none->setPackages(QLCategory::Packages{});
  session.setRecommendCategory(none);
}

TEST_F(KeyboardTest, SmallEmojiPagesEndWithBackspaceAndStickerPagesCarryCaptions) {
  installDefaults();
  install("pkg-mochi-cat");
  noRecommendations(*session_);
  showKeyboard();
  auto& group = *keyboard_->groupView();
  EXPECT_EQ(keyboard_->toolBarHeight(), 39);
  ASSERT_EQ(keyboard_->numberOfGroups(), 3);
  // 24 small emojis, 20 a page: 21 + 5 cells, each page ending with the key.
  EXPECT_EQ(group.actualNumberOfItemsAtGroup(0), 26);
  EXPECT_EQ(group.pagesForGroup(0), 2);
  EXPECT_TRUE(group.isBackspaceAtIndexPath(IndexPath::forItem(20, 0)));
  EXPECT_TRUE(group.isBackspaceAtIndexPath(IndexPath::forItem(25, 0)));
  EXPECT_EQ(group.actualIndexAtIndexPath(IndexPath::forItem(21, 0)), 20);
  // The sticker package (group 2): 2 x 4 with its texts, no key.
  EXPECT_EQ(group.itemsPerPageAtSection(2), 8);
  EXPECT_FALSE(group.addsBackspaceAtGroup(2));

  window_->touches().tap(pointOfCell(0, 20), clock_++);
  EXPECT_EQ(backspaces_, 1);
  window_->touches().tap(pointOfCell(0, 3), clock_++);
  ASSERT_EQ(picks_.size(), 1u);
  EXPECT_EQ(picks_[0], IndexPath::forItem(3, 0));

  keyboard_->toolView()->selectGroup(2);
  group.selectGroup(2);
  window_->layoutIfNeeded();
  auto cell = std::dynamic_pointer_cast<QLInputCollectionCell>(
      group.collectionView()->cellForItemAtIndexPath(IndexPath::forItem(0, 2)));
  ASSERT_NE(cell, nullptr);
  EXPECT_FALSE(cell->textLabel()->text().empty());
  EXPECT_FALSE(cell->textLabel()->isHidden());
  EXPECT_EQ(cell->textLabel()->frame().minY(), cell->imgView()->frame().maxY() + 8);
}

TEST_F(KeyboardTest, SendButtonFollowsTheTabAndToolBarHeightTheScreen) {
  installDefaults();
  install("pkg-mochi-cat");
  noRecommendations(*session_);
  for (auto [screen, height] : {std::pair{Screen::phone320x568(), 33.0}, {Screen::phone414x736(), 42.0},
                                {Screen::phone375x667(), 39.0}}) {
    showKeyboard(screen);
    EXPECT_EQ(keyboard_->toolBarHeight(), height);
    EXPECT_EQ(keyboard_->toolView()->frame().height(), height);
  }
  auto& tool = *keyboard_->toolView();
  const double W = 375, b = QLInputToolView::buttonWidth();
  EXPECT_EQ(tool.sendBtn()->frame().minX(), W - tool.sendBtn()->frame().width());  // small: shown
  window_->touches().tap(Point{b + 2.5 * b, 667 - 20}, clock_++);  // the sticker tab
  EXPECT_EQ(sections_.back(), 2);
  EXPECT_EQ(tool.sendBtn()->frame().minX(), W);  // off the right edge
  EXPECT_EQ(tool.collectionView()->frame().width(), W - b);
  EXPECT_EQ(keyboard_->groupView()->currentGroupPath(), (QLGroupIndexPath{2, 0}));
  window_->touches().tap(Point{b + 0.5 * b, 667 - 20}, clock_++);
  EXPECT_EQ(tool.sendBtn()->frame().minX(), W - tool.sendBtn()->frame().width());
  window_->touches().tap(tool.sendBtn()->convertRectToView(tool.sendBtn()->bounds(), nullptr).center(), clock_++);
  EXPECT_EQ(sends_, 1);
}

TEST_F(KeyboardTest, ASwipePastTheLastPageSelectsTheNextTabOnce) {
  installDefaults();
  noRecommendations(*session_);
  showKeyboard();
  auto& group = *keyboard_->groupView();
  swipeLeft();  // page 2 of the first package
  EXPECT_EQ(group.currentGroupPath(), (QLGroupIndexPath{0, 1}));
  EXPECT_TRUE(sections_.empty());
  EXPECT_FALSE(group.pageControl()->isHidden());
  swipeLeft();  // into the second package
  EXPECT_EQ(group.currentGroupPath(), (QLGroupIndexPath{1, 0}));
  EXPECT_EQ(sections_, std::vector<int>{1});
  auto selected = keyboard_->toolView()->collectionView()->indexPathsForSelectedItems();
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(selected[0].item, 1);
  swipeLeft();  // past the end: stays on the last page, tells nothing
  EXPECT_EQ(sections_, std::vector<int>{1});
  const Point end = group.collectionView()->contentOffset();
  EXPECT_LE(end.x, group.collectionView()->contentSize().width - group.collectionView()->frame().width());
}

TEST_F(KeyboardTest, ALongPressShowsTheEightyPointPreviewButNotOnBackspace) {
  installDefaults();
  noRecommendations(*session_);
  showKeyboard();
  auto& group = *keyboard_->groupView();
  auto& touches = window_->touches();
  const Point emoji = pointOfCell(0, 0);
  touches.touchDown(emoji, clock_);
  touches.advanceTime(clock_ + 0.6);
  ASSERT_NE(group.popover(), nullptr);
  EXPECT_TRUE(group.popover()->isShowing());
  EXPECT_EQ(group.popover()->contentView()->frame().size, (Size{80, 80}));
  const Rect cell = group.collectionView()->cellForItemAtIndexPath(IndexPath::forItem(0, 0))
                        ->convertRectToView(Rect(0, 0, 1, 1), nullptr);
  const Point tip = group.popover()->convertPointToView(group.popover()->arrowPoint(), nullptr);
  EXPECT_NEAR(tip.y, cell.minY() - 4, 0.01);
  touches.touchUp(emoji, clock_ + 0.7);
  clock_ += 1;
  EXPECT_EQ(group.popover(), nullptr);
  EXPECT_EQ(longPresses_, std::vector<IndexPath>{IndexPath::forItem(0, 0)});
  EXPECT_TRUE(picks_.empty());

  touches.press(pointOfCell(0, 20), clock_, 0.6);
  clock_ += 1;
  EXPECT_EQ(group.popover(), nullptr);
  EXPECT_EQ(longPresses_.size(), 1u);

  delegate_->longPressItemAtIndexPath = nullptr;  // optional: a preview without a listener
  touches.press(emoji, clock_, 0.6);
  EXPECT_EQ(longPresses_.size(), 1u);
}

TEST_F(KeyboardTest, RecommendedCardsOfferDownloadsAndADownloadAddsItsTab) {
  installDefaults();
  showKeyboard();
  ASSERT_TRUE(keyboard_->shouldShowRecommendGroup());
  auto& group = *keyboard_->groupView();
  auto& grid = *group.collectionView();
  const double F = grid.frame().width();
  // Three cards, one a page, counted once; then 2 + 1 pages of the defaults.
  EXPECT_EQ(grid.contentSize().width, (3 + 2 + 1) * F);
  EXPECT_EQ(keyboard_->numberOfToolItems(), 3u);
  EXPECT_EQ(keyboard_->selectedGroupPath(), (QLGroupIndexPath{1, 0}));
  EXPECT_FALSE(group.addsBackspaceAtGroup(0));

  keyboard_->toolView()->selectGroup(0);
  keyboard_->inputToolViewTriggerAction(QLInputToolView::kActionTab, 0);
  EXPECT_TRUE(sections_.empty());  // the recommended group is no section
  window_->layoutIfNeeded();
  auto card = std::dynamic_pointer_cast<QLRecommendCollectionCell>(grid.cellForItemAtIndexPath(IndexPath::forItem(0, 0)));
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(card->downloadView()->downloadBtn()->currentTitle(), "下载");
  const std::string guid = keyboard_->recommendCategory()->packages()[0]->guid();
  window_->touches().tap(card->convertRectToView(Rect(2, 2, 1, 1), nullptr).origin, clock_++);
  EXPECT_EQ(backspaces_, 0);  // a card is no key and no emoji
  EXPECT_TRUE(picks_.empty());

  const Rect control = card->downloadView()->convertRectToView(card->downloadView()->bounds(), nullptr);
  window_->touches().tap(control.center(), clock_++);
  window_->touches().tap(control.center(), clock_++);  // a second tap starts nothing more
  ASSERT_TRUE(test::runUntil([&] { return stored(guid); }, std::chrono::seconds(30)));
  settle();
  EXPECT_EQ(count("GET", "/api/v1/package/" + guid + "/emojis"), 1u);
  EXPECT_EQ(keyboard_->recommendCategory()->packages().size(), 2u);
  EXPECT_EQ(keyboard_->numberOfToolItems(), 4u);  // recommend, two defaults, the new package
  EXPECT_EQ(grid.contentSize().width, (2 + 2 + 1 + 1) * F);
}

TEST_F(KeyboardTest, SelectionsOutOfRangeAndTinyPagesAreHarmless) {
  installDefaults();
  noRecommendations(*session_);
  source_->indexOfSelectedSectionInKeyboard = [](QLEmotionKeyboard&) { return static_cast<size_t>(-1); };
  showKeyboard();
  EXPECT_EQ(keyboard_->selectedGroupPath(), (QLGroupIndexPath{0, 0}));
  EXPECT_EQ(keyboard_->selectedGroupIndex(), 0u);
  keyboard_->toolView()->selectGroup(7);
  keyboard_->groupView()->selectGroup(7);
  EXPECT_EQ(keyboard_->groupView()->currentGroupPath(), (QLGroupIndexPath{0, 0}));
  ASSERT_EQ(keyboard_->toolView()->collectionView()->indexPathsForSelectedItems().size(), 1u);
  EXPECT_EQ(keyboard_->toolView()->collectionView()->indexPathsForSelectedItems()[0].item, 0);

  // One cell a page leaves no room for a key: no backspace, every cell an emoji.
  delegate_->rowsInSection = [](QLEmotionKeyboard&, int) { return 1u; };
  delegate_->columnsInSection = [](QLEmotionKeyboard&, int) { return 1u; };
  keyboard_->reloadData();
  EXPECT_EQ(keyboard_->groupView()->actualNumberOfItemsAtGroup(0), 24);
  EXPECT_FALSE(keyboard_->groupView()->isBackspaceAtIndexPath(IndexPath::forItem(0, 0)));
}

TEST_F(KeyboardTest, NoDefaultPackagesMeansNoGroupsAndNoTabs) {
  showKeyboard();
  ASSERT_NE(session_->recommendCategory(), nullptr);
  EXPECT_EQ(keyboard_->numberOfGroups(), 0);
  EXPECT_EQ(keyboard_->numberOfToolItems(), 0u);
  EXPECT_EQ(keyboard_->groupView()->collectionView()->visibleCells().size(), 0u);
  EXPECT_FALSE(keyboard_->toolView()->addBtn()->isUserInteractionEnabled());
}

TEST_F(KeyboardTest, TheAddButtonPresentsOneShopAndStoresTheVisit) {
  installDefaults();
  showKeyboard();
  ASSERT_GT(session_->newEmojiTimestamp(), 0);
  EXPECT_TRUE(keyboard_->shouldShowRemindView());
  EXPECT_FALSE(keyboard_->remindView()->isHidden());
  const Point add = keyboard_->toolView()->addBtn()->convertRectToView(Rect(5, 5, 1, 1), nullptr).origin;
  window_->touches().tap(add, clock_++);
  auto shop = keyboard_->presentedShop();
  ASSERT_NE(shop, nullptr);
  keyboard_->inputToolViewTriggerAction(QLInputToolView::kActionAdd, QLInputToolView::kNoIndex);
  EXPECT_EQ(keyboard_->presentedShop(), shop);
  EXPECT_EQ(root_->presentedViewController(), shop);
  EXPECT_TRUE(keyboard_->remindView()->isHidden());
  EXPECT_FALSE(keyboard_->shouldShowRemindView());
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(EmotionKeyboardTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
