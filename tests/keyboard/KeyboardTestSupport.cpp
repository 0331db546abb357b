#include "KeyboardTestSupport.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include "vexa/keyboard/QLInputItemGroupView.h"
#include "vexa/platform/Directories.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/store/QLPackageHelper.h"
#include "support/MainQueueTesting.h"

namespace vexa::test {

void KeyboardTest::SetUp() {
  Directories::setRoot(dir_ / "home");
  DownloadTest::SetUp();
  QLPackageCache& store = *store_;
  auto small = [&store](int section) {
    auto package = QLPackageHelper::packageAtIndex(section, store);
    return package && package->packageType() == QLPackage::kDefaultSmallEmojiType;
  };
  source_ = std::make_shared<QLEmotionKeyboardDataSource>();
  source_->numberOfSectionInKeyboard = [&store](QLEmotionKeyboard&) {
    return static_cast<int>(QLPackageHelper::countOfPackages(store));
  };
  source_->numberOfSectionsInKeyboard = source_->numberOfSectionInKeyboard;
  source_->numberOfItemsInSection = [&store](QLEmotionKeyboard&, int section) {
    return static_cast<int>(QLPackageHelper::countOfEmojisAtIndex(section, store));
  };
  source_->thumbForItemAtIndexPath = [&store](QLEmotionKeyboard&, const IndexPath& p) {
    return QLPackageHelper::thumbOfEmojiAtIndexPath(p, store);
  };
  source_->imageForItemAtIndexPath = [&store](QLEmotionKeyboard&, const IndexPath& p) {
    return QLPackageHelper::mainImageOfEmojiAtIndexPath(p, store);
  };
  source_->titleForItemAtIndexPath = [&store, small](QLEmotionKeyboard&,
                                                     const IndexPath& p) -> std::optional<std::string> {
    auto emoji = QLPackageHelper::emojiAtIndexPath(p, store);
    if (!emoji || small(p.section)) return std::nullopt;
    return emoji->emo_text();
  };
  source_->imageInSection = [&store](QLEmotionKeyboard&, int section) {
    return QLPackageHelper::chatIconOfPackageAtIndex(section, store);
  };
  source_->shouldAddBackspaceInSection = [small](QLEmotionKeyboard&, int section) { return small(section); };
  source_->indexOfSelectedSectionInKeyboard = [&store](QLEmotionKeyboard&) { return store.selectedPackageIndex(); };
  source_->codeForItemAtIndexPath = [&store](QLEmotionKeyboard&, const IndexPath& p) {
    return QLPackageHelper::codeOfEmojiAtIndexPath(p, store);
  };
  source_->identifierInSection = [&store](QLEmotionKeyboard&, int section) {
    auto package = QLPackageHelper::packageAtIndex(section, store);
    return package ? package->guid() : std::string();
  };

  delegate_ = std::make_shared<QLEmotionKeyboardDelegate>();
  delegate_->rowsInSection = [small](QLEmotionKeyboard&, int s) { return small(s) ? 3u : 2u; };
  delegate_->columnsInSection = [small](QLEmotionKeyboard&, int s) { return small(s) ? 7u : 4u; };
  delegate_->didSelectedSectionAtIndex = [this](QLEmotionKeyboard&, int section) {
    sections_.push_back(section);
    store_->setSelectedPackage(QLPackageHelper::packageAtIndex(section, *store_));
  };
  delegate_->didSelectItemAtIndexPath = [this](QLEmotionKeyboard&, const IndexPath& p) { picks_.push_back(p); };
  delegate_->longPressItemAtIndexPath = [this](QLEmotionKeyboard&, const IndexPath& p) {
    longPresses_.push_back(p);
  };
  delegate_->triggerBackspaceForKeyboard = [this](QLEmotionKeyboard&) { ++backspaces_; };
  delegate_->triggerSendForKeyboard = [this](QLEmotionKeyboard&) { ++sends_; };
}

void KeyboardTest::TearDown() {
  if (root_ && root_->presentedViewController()) root_->dismissViewController(false);
  if (keyboard_) keyboard_->removeFromSuperview();
  keyboard_.reset();
  window_.reset();
  root_.reset();
  DownloadTest::TearDown();
  Directories::setRoot(std::nullopt);
  Screen::setMain(Screen::phone375x667());
}

void KeyboardTest::installDefaults() {
  ASSERT_TRUE(await([&](auto done) { manager_->downloadDefaultPackages(done); }).ok());
  ASSERT_TRUE(store_->savePackageCache().ok());
}

void KeyboardTest::install(const std::string& guid) {
  ASSERT_TRUE(await([&](auto done) { manager_->downloadPackage(shopPackage(guid), done); }).ok());
}

void KeyboardTest::showKeyboard(Screen screen) {
  Screen::setMain(screen);
  window_ = Window::create(screen.bounds);
  root_ = std::make_shared<ViewController>();
  window_->setRootViewController(root_);
  window_->makeKeyAndVisible();
  const double W = screen.bounds.width(), H = screen.bounds.height();
  keyboard_ = QLEmotionKeyboard::create(Rect(0, H - QLEmotionKeyboard::kDefaultHeight, W,
                                             QLEmotionKeyboard::kDefaultHeight),
                                        *manager_, session_);
  keyboard_->setDelegate(delegate_);
  keyboard_->setDataSource(source_);
  window_->addSubview(keyboard_);
  settle();
}

void KeyboardTest::settle() {
  runUntil([this] { return !session_->recommendRequestInFlight && !session_->timestampRequestInFlight; });
  spin();
  window_->layoutIfNeeded();
}

Point KeyboardTest::pointOfCell(int group, int cell) {
  auto& grid = *keyboard_->groupView()->collectionView();
  grid.layoutIfNeeded();
  auto attributes = grid.layoutAttributesForItemAtIndexPath(IndexPath::forItem(cell, group));
  EXPECT_TRUE(attributes.has_value());
  if (!attributes) return {};
  Rect r = grid.convertRectToView(attributes->frame(), nullptr);
  return Point{r.midX(), r.midY()};
}

void KeyboardTest::swipeLeft() {
  const Rect grid = keyboard_->groupView()->convertRectToView(keyboard_->groupView()->bounds(), nullptr);
  const double y = grid.midY(), x = grid.maxX() - 20;
  auto& touches = window_->touches();
  touches.touchDown(Point{x, y}, clock_);
  for (int i = 1; i <= 10; ++i) touches.touchMove(Point{x - 25.0 * i, y}, clock_ + 0.01 * i);
  touches.touchUp(Point{x - 250, y}, clock_ + 0.11);
  clock_ += 1;
  spin();
  window_->layoutIfNeeded();
}

}  // namespace vexa::test

#endif  // VEXA_HAVE_REFERENCE_SERVICE
