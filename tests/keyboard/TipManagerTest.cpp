// Input tips over a downloaded package whose emojis share keywords: the
// popover's width, where it opens, what a tap hands over, and watching one
// input at a time.
#include <gtest/gtest.h>

#include "KeyboardTestSupport.h"
#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include "vexa/keyboard/VXTipManager.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/TextFieldView.h"
#include "support/MainQueueTesting.h"
#include "vexa/support/QLPopoverView.h"

namespace vexa::test {
namespace {

class TipManagerTest : public DownloadTest {
 protected:
  void SetUp() override {
    // Nine stickers: six say "hi", three "Hey".
    std::string json = onePackageCatalog("pkg-hi", 9, false);
    for (int i = 0; i < 9; ++i) {
      std::string from = "\"emo_text\":\"Text " + std::to_string(i) + "\"";
      json.replace(json.find(from), from.size(), i < 6 ? "\"emo_text\":\"hi\"" : "\"emo_text\":\"Hey\"");
    }
    DownloadTest::SetUp();
    startService(catalogFromJson(json));
    ASSERT_TRUE(await([&](auto done) { manager_->downloadPackage(shopPackage("pkg-hi"), done); }).ok());
    Screen::setMain(Screen::phone320x568());
    window_ = Window::create(Screen::main().bounds);
    root_ = std::make_shared<ViewController>();
    window_->setRootViewController(root_);
    window_->makeKeyAndVisible();
    bar_ = View::create(Rect(0, 300, 320, 50));
    input_ = TextFieldView::create(Rect(10, 7, 300, 36));
    bar_->addSubview(input_);
    root_->view()->addSubview(bar_);
    tips_ = VXTipManager::create(*store_);
    tips_->setSelectedHandler([this](const auto& emoji, const auto& package) {
      picked_.emplace_back(emoji->emo_code(), package->guid());
    });
  }
  void TearDown() override {
    tips_.reset();
    if (root_->presentedViewController()) root_->dismissViewController(false);
    window_.reset();
    DownloadTest::TearDown();
    Screen::setMain(Screen::phone375x667());
  }
  bool shown() { return tips_->popover()->isShowing(); }

  std::shared_ptr<Window> window_;
  std::shared_ptr<ViewController> root_;
  std::shared_ptr<View> bar_;
  std::shared_ptr<TextFieldView> input_;
  std::shared_ptr<VXTipManager> tips_;
  std::vector<std::pair<std::string, std::string>> picked_;
};

TEST_F(TipManagerTest, TheWholeTextShowsAPopoverSixtyPointsATipAtMostTheScreenWide) {
  tips_->attachTipToView(bar_, input_);
  input_->input().insertText("He");
  EXPECT_FALSE(shown());
  input_->input().insertText("y");
  ASSERT_TRUE(shown());
  EXPECT_EQ(tips_->contentView()->frame().size, (Size{170, 50})) << "3 tips: 60 x 3 - 10";
  EXPECT_TRUE(tips_->isTimerPending());
  // Above the bar's top edge, in the middle, pointing down at it.
  auto popover = tips_->popover();
  EXPECT_EQ(popover->position(), QLPopoverPosition::Up);
  EXPECT_EQ(popover->convertPointToView(popover->arrowPoint(), nullptr).x, 160);
  EXPECT_LE(popover->convertRectToView(popover->bounds(), nullptr).maxY(), 300);

  input_->input().setText("");
  input_->input().insertText("hi");
  ASSERT_TRUE(shown());
  EXPECT_EQ(tips_->emojis().size(), 6u);
  EXPECT_EQ(tips_->contentView()->frame().size, (Size{320, 50})) << "350 points capped at the screen";
  window_->layoutIfNeeded();
  EXPECT_GT(tips_->collectionView()->contentSize().width, 320) << "the row scrolls";

  input_->input().deleteBackward();
  EXPECT_FALSE(shown()) << "a keystroke closes the tips; \"h\" shows none";
  EXPECT_FALSE(tips_->isTimerPending());
}

TEST_F(TipManagerTest, ATapHandsOverTheEmojiAndItsPackageFromAPresentedScreen) {
  // The input's bar stays the anchor; the tips go into the screen on top.
  auto cover = std::make_shared<ViewController>();
  root_->presentViewController(cover, false);
  spin();
  tips_->attachTipToView(bar_, input_);
  input_->input().insertText("hey");
  ASSERT_TRUE(shown());
  EXPECT_EQ(tips_->popover()->superview(), cover->view().get());
  window_->layoutIfNeeded();
  auto cell = tips_->collectionView()->cellForItemAtIndexPath(IndexPath::forItem(1, 0));
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->accessibilityIdentifier(), "tip:pkg-hi_7");
  EXPECT_EQ(cell->accessibilityLabel(), "Hey");
  Rect r = cell->convertRectToView(cell->bounds(), nullptr);
  window_->touches().tap(Point{r.midX(), r.midY()}, 1);
  ASSERT_EQ(picked_.size(), 1u);
  EXPECT_EQ(picked_[0], (std::pair<std::string, std::string>{"pkg-hi_7", "pkg-hi"}));
  EXPECT_FALSE(shown());
}

TEST_F(TipManagerTest, OneInputIsWatchedAtATime) {
  auto other = TextFieldView::create(Rect(0, 0, 100, 30));
  root_->view()->addSubview(other);
  tips_->attachTipToView(bar_, other);
  tips_->attachTipToView(bar_, input_);
  other->input().insertText("hi");
  EXPECT_FALSE(shown()) << "the earlier input is no longer watched";
  input_->input().insertText("hi");
  EXPECT_TRUE(shown());
  tips_->dismissTips();

  tips_->attachTipToView(nullptr, input_);
  EXPECT_FALSE(tips_->canRemoveObserver());
  EXPECT_FALSE(tips_->inputView());
  input_->input().setText("");
  input_->input().insertText("hi");
  EXPECT_FALSE(shown());
}

}  // namespace
}  // namespace vexa::test

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(TipManagerTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
