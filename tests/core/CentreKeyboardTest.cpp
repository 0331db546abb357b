// The centre's keyboard against the reference service: installing the
// default packages behind the loading animation or the failure panel, one
// download at a time, and the delivery of picks to hosts that implement
// only some delegate operations.
#include <gtest/gtest.h>

#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include <thread>

#include "DownloadTestSupport.h"
#include "vexa/core/QLDefaultPackageLoader.h"
#include "vexa/core/VXEmotionCentre.h"
#include "vexa/keyboard/QLEmotionKeyboard.h"
#include "vexa/keyboard/QLEmotionKeyboardDataSource.h"
#include "vexa/keyboard/QLEmotionKeyboardDelegate.h"
#include "vexa/keyboard/QLEmotionKeyboardSession.h"
#include "vexa/keyboard/QLKeyboardInitFailedView.h"
#include "vexa/platform/Directories.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/TextAreaView.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/shop/QLShopViewController.h"
#include "vexa/store/QLPackageHelper.h"
#include "support/MainQueueTesting.h"
#include "vexa/text/QLTextImageHelper.h"

namespace vexa::test {
namespace {

constexpr const char* kDefaultCategoryPath = "/api/v1/category/code/default";

class CentreKeyboardTest : public DownloadTest {
 protected:
  void SetUp() override {
    Directories::setRoot(dir_ / "home");
    DownloadTest::SetUp();
    Screen::setMain(Screen::phone375x667());
    window_ = Window::create(Screen::main().bounds);
    window_->setRootViewController(std::make_shared<ViewController>());
    window_->makeKeyAndVisible();
    input_ = TextAreaView::create(Rect(10, 400, 355, 36));
    window_->addSubview(input_);
    centre_ = std::make_unique<VXEmotionCentre>(*manager_, std::make_shared<QLEmotionKeyboardSession>());
  }
  void TearDown() override {
    centre_.reset();
    window_.reset();
    input_.reset();
    DownloadTest::TearDown();
    Directories::setRoot(std::nullopt);
  }

  // The host's emoji button: the keyboard and the focus for the input.
  void show() {
    centre_->attachEmotionKeyboardToInput(input_);
    input_->becomeFirstResponder();
    window_->layoutIfNeeded();
  }
  void waitForDownload() {
    ASSERT_TRUE(runUntil([this] { return !centre_->defaultPackageLoader().isDownloading(); },
                         std::chrono::seconds(30)));
    spin();
  }
  void installDefaultsAnd(const std::string& sticker) {
    ASSERT_TRUE(await([&](auto done) { manager_->downloadDefaultPackages(done); }).ok());
    ASSERT_TRUE(store_->savePackageCache().ok());
    ASSERT_TRUE(await([&](auto done) { manager_->downloadPackage(shopPackage(sticker), done); }).ok());
  }
  std::shared_ptr<QLKeyboardInitFailedView> panelOn(const QLEmotionKeyboard& keyboard) const {
    for (const auto& child : keyboard.subviews())
      if (auto panel = std::dynamic_pointer_cast<QLKeyboardInitFailedView>(child)) return panel;
    return nullptr;
  }
  void failCategory() { service_->faults().add({.pathPattern = kDefaultCategoryPath, .status = 503}); }

  std::shared_ptr<Window> window_;
  std::shared_ptr<TextAreaView> input_;
  std::unique_ptr<VXEmotionCentre> centre_;
};

TEST_F(CentreKeyboardTest, TheAnimationSitsOverTheEmojiAreaWhileOneDownloadRuns) {
  show();
  auto keyboard = centre_->currentKeyboard();
  ASSERT_TRUE(keyboard);
  ASSERT_EQ(keyboard->frame(), Rect(0, 667 - 216, 375, 216)) << "at the window's bottom";
  auto loading = centre_->defaultPackageLoader().loadingView();
  ASSERT_TRUE(loading);
  EXPECT_EQ(loading->center(), (Point{187.5, 108 - 39 / 2.0})) << "in the keyboard's own coordinates";
  EXPECT_FALSE(keyboard->isUserInteractionEnabled());

  // Neither a retry nor a new keyboard starts a second download; the new
  // keyboard shows the animation too, and letting the first one go keeps
  // the packages already stored.
  centre_->defaultPackageLoader().refreshData();
  centre_->switchToDefaultKeyboard();
  show();
  ASSERT_NE(centre_->currentKeyboard(), keyboard);
  EXPECT_TRUE(centre_->defaultPackageLoader().loadingView());
  waitForDownload();
  EXPECT_EQ(count("GET", kDefaultCategoryPath), 1u);
  EXPECT_FALSE(centre_->defaultPackageLoader().loadingView());
  EXPECT_TRUE(centre_->currentKeyboard()->isUserInteractionEnabled());
  EXPECT_GT(centre_->currentKeyboard()->numberOfGroups(), 0);
  QLPackageCache reread(dir_ / "ApplicationSupport", shared_);
  EXPECT_EQ(reread.defaultPackages().size(), 2u) << "the whole default list was written";
}

TEST_F(CentreKeyboardTest, TheFailurePanelRetriesOnceAtATimeUntilThePagesCome) {
  failCategory();
  show();
  waitForDownload();
  auto keyboard = centre_->currentKeyboard();
  auto panel = panelOn(*keyboard);
  ASSERT_TRUE(panel);
  EXPECT_EQ(panel->frame(), Rect(0, 0, 375, 216 - 39)) << "the tool bar stays usable";
  EXPECT_FALSE(centre_->defaultPackageLoader().loadingView());

  panel->refresh();  // still failing: a fresh panel, armed again
  EXPECT_TRUE(centre_->defaultPackageLoader().loadingView());
  waitForDownload();
  auto second = panelOn(*keyboard);
  ASSERT_TRUE(second);
  EXPECT_NE(second, panel);
  EXPECT_FALSE(second->refreshSuccess());

  service_->faults().clear();
  second->refresh();
  second->refresh();
  centre_->defaultPackageLoader().refreshData();
  waitForDownload();
  EXPECT_EQ(count("GET", kDefaultCategoryPath), 3u) << "check, failed retry, one successful retry";
  EXPECT_FALSE(panelOn(*keyboard));
  EXPECT_GT(keyboard->numberOfGroups(), 0);
}

TEST_F(CentreKeyboardTest, AFailedRetryForgetsAPartOfTheDefaultSet) {
  service_->faults().add({.method = "GET", .pathPattern = "/files/pkg-everyday.zip", .status = 500});
  show();
  waitForDownload();
  ASSERT_TRUE(store_->isNeedDownloadedDefaultPackages());
  centre_->defaultPackageLoader().refreshData();
  waitForDownload();
  EXPECT_TRUE(store_->isNeedDownloadedDefaultPackages()) << "the first package alone is no default set";
  EXPECT_EQ(count("GET", "/files/pkg-classic-faces.zip"), 2u);
}

TEST_F(CentreKeyboardTest, ALateAnswerDoesNoViewWorkOnAKeyboardLetGo) {
  service_->faults().add({.pathPattern = kDefaultCategoryPath, .latency = std::chrono::milliseconds(300), .status = 503});
  show();
  auto old = centre_->currentKeyboard();
  centre_->switchToDefaultKeyboard();
  waitForDownload();
  EXPECT_FALSE(panelOn(*old));
  EXPECT_FALSE(centre_->currentKeyboard()) << "no keyboard made for the answer";
}

TEST_F(CentreKeyboardTest, HostsWithSomeDelegateOperationsGetWhatTheyImplement) {
  installDefaultsAnd("pkg-mochi-cat");
  show();
  auto keyboard = centre_->currentKeyboard();
  ASSERT_EQ(centre_->defaultPackageLoader().loadingView(), nullptr) << "nothing to download";
  const int stickers = 2;  // the two default packages come first
  auto sticker = QLPackageHelper::packageAtIndex(stickers, *store_);
  ASSERT_EQ(sticker->guid(), "pkg-mochi-cat");
  auto& d = *centre_->keyboardDelegate();

  struct Heard {
    int emoji = 0, tip = 0, send = 0;
  };
  constexpr int kEmoji = 1, kTip = 2, kSend = 4;
  int rounds = 0;
  for (int has : {0, kSend, kEmoji, kTip, kEmoji | kTip | kSend}) {
    Heard heard;
    auto host = std::make_shared<VXEmotionCentreDelegate>();
    if (has & kEmoji) host->didSelectEmoji = [&heard](const std::shared_ptr<VXEmoji>& e) {
      EXPECT_EQ(e->emojiCode(), "早安");
      EXPECT_TRUE(e->emojiImage() && e->emojiData());
      EXPECT_EQ(e->packageId(), "");
      ++heard.emoji;
    };
    if (has & kTip) host->didSelectTipEmoji = [&heard](const std::shared_ptr<VXEmoji>&) { ++heard.tip; };
    if (has & kSend) host->didSendWithInput = [&heard](TextInput&) { ++heard.send; };
    centre_->setDelegate(host);

    d.didSelectItemAtIndexPath(*keyboard, IndexPath::forItem(0, stickers));
    centre_->selectedEmoji(*sticker->emojis()[0], *sticker, VXEmotionCentre::Sender::TipManager);
    d.triggerSendForKeyboard(*keyboard);
    d.longPressItemAtIndexPath(*keyboard, IndexPath::forItem(1, stickers));
    // Paths from before the store changed are ignored.
    d.didSelectItemAtIndexPath(*keyboard, IndexPath::forItem(99, stickers));
    d.didSelectItemAtIndexPath(*keyboard, IndexPath::forItem(0, 9));
    d.longPressItemAtIndexPath(*keyboard, IndexPath::forItem(99, stickers));
    EXPECT_EQ(heard.emoji, has & kEmoji ? 1 : 0) << has;
    EXPECT_EQ(heard.tip, has & kTip ? 1 : 0) << "only a host that has it hears of a tip; " << has;
    EXPECT_EQ(heard.send, has & kSend ? 1 : 0) << has;
    ++rounds;
  }
  centre_->setDelegate(nullptr);
  awaitReports();
  EXPECT_EQ(reports("send").size(), 2u * rounds) << "a pick and a tip each round, heard or not";
  EXPECT_EQ(reports("view").size(), 1u * rounds);
}

TEST_F(CentreKeyboardTest, SmallEmojisGoInlineOrToTheHostWhenMixedModeIsOff) {
  installDefaultsAnd("pkg-mochi-cat");
  show();
  auto keyboard = centre_->currentKeyboard();
  auto& source = *centre_->keyboardDataSource();
  auto& d = *centre_->keyboardDelegate();
  int picked = 0;
  auto host = std::make_shared<VXEmotionCentreDelegate>();
  host->didSelectEmoji = [&picked](const std::shared_ptr<VXEmoji>&) { ++picked; };
  centre_->setDelegate(host);

  EXPECT_TRUE(source.shouldAddBackspaceInSection(*keyboard, 0));
  EXPECT_FALSE(source.titleForItemAtIndexPath(*keyboard, IndexPath::forItem(0, 0)));
  EXPECT_EQ(source.titleForItemAtIndexPath(*keyboard, IndexPath::forItem(0, 2)), "早安");
  EXPECT_EQ(d.rowsInSection(*keyboard, 0) * d.columnsInSection(*keyboard, 0), 21u);
  EXPECT_EQ(d.rowsInSection(*keyboard, 2) * d.columnsInSection(*keyboard, 2), 8u);
  d.didSelectItemAtIndexPath(*keyboard, IndexPath::forItem(0, 0));
  d.triggerBackspaceForKeyboard(*keyboard);
  d.didSelectItemAtIndexPath(*keyboard, IndexPath::forItem(0, 0));
  EXPECT_EQ(QLTextImageHelper::pureTextFromAttributeText(input_->input().attributedText()), "[微笑]");
  EXPECT_EQ(picked, 0) << "inline emojis are not the host's";

  centre_->setSupportedMixedTextImage(false);
  EXPECT_FALSE(source.shouldAddBackspaceInSection(*keyboard, 0));
  d.didSelectItemAtIndexPath(*keyboard, IndexPath::forItem(0, 0));
  EXPECT_EQ(picked, 1);
  EXPECT_EQ(input_->input().length(), 1u) << "the input is unchanged";
  centre_->setDelegate(nullptr);
  awaitReports();
  EXPECT_EQ(reports("send").size(), 1u);
}

TEST_F(CentreKeyboardTest, NotificationsAreAnsweredOnTheMainThread) {
  installDefaultsAnd("pkg-mochi-cat");
  show();
  store_->setPackagesChanged(true);
  std::thread storing([this] {
    NotificationCenter::defaultCenter().post(kQLEmotionPackageAddNotification, store_.get(),
                                             Value::dict({{kQLEmotionPackageGuidKey, "x"}}));
  });
  storing.join();
  EXPECT_TRUE(store_->packagesChanged()) << "nothing ran on the storing thread";
  spin();
  EXPECT_FALSE(store_->packagesChanged()) << "the keyboard reloaded on the main thread";

  // The shop closed: the input gets its focus back.
  input_->resignFirstResponder();
  store_->setPackagesChanged(true);
  NotificationCenter::defaultCenter().post(kQLEmotionDismissShopNotification);
  EXPECT_TRUE(input_->isFirstResponder());
  spin();
  EXPECT_FALSE(store_->packagesChanged());
}

TEST_F(CentreKeyboardTest, FetchingByAnotherTypeCompletesOnceWithAnError) {
  int calls = 0;
  centre_->fetchEmojisByType(3, {"微笑"}, [&calls](const auto& result) {
    ++calls;
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().domain(), kQLErrorDomain);
    EXPECT_EQ(result.error().code(), VXEmotionCentre::kUnknownFetchTypeCode);
  });
  spin();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(centre_->version(), "VEXA version 1.2.2");
}

}  // namespace
}  // namespace vexa::test

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(CentreKeyboardTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
