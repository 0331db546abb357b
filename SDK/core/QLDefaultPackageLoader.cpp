#include "vexa/core/QLDefaultPackageLoader.h"

#include "vexa/api/QLDownloadManager.h"
#include "vexa/keyboard/QLEmotionKeyboard.h"
#include "vexa/keyboard/QLKeyboardInitFailedView.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/store/image/QLGifDecoder.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

namespace {

// Only the keyboard's own children: its parts never use tags, and a view
// deeper down is not the animation.
std::shared_ptr<View> loadingViewIn(const QLEmotionKeyboard& keyboard) {
  for (const auto& child : keyboard.subviews()) {
    if (child->tag() == QLDefaultPackageLoader::kLoadingViewTag) return child;
  }
  return nullptr;
}

std::shared_ptr<const Image> loadingImage() {
  auto bytes = QLEmotionGlobal::sharedInstance().base64UIimageDataWithName("loading");
  if (!bytes) return nullptr;
  return QLGifDecoder::ql_sd_animatedGIFWithData(std::span<const uint8_t>(bytes->data(), bytes->size()));
}

}  // namespace

QLDefaultPackageLoader::QLDefaultPackageLoader(QLDownloadManager& manager) : manager_(manager) {
  failedSource_ = std::make_shared<QLKeyboardInitFailedViewDataSource>();
  // The panel holds the struct weakly and the loader owns it: `this` is
  // alive whenever the panel calls.
  failedSource_->refreshData = [this] { refreshData(); };
}

QLDefaultPackageLoader::~QLDefaultPackageLoader() = default;

// --- The loading animation -----------------------------------------------------

std::shared_ptr<View> QLDefaultPackageLoader::loadingView() const {
  auto keyboard = keyboard_.lock();
  return keyboard ? loadingViewIn(*keyboard) : nullptr;
}

void QLDefaultPackageLoader::addGifLoading() {
  auto keyboard = keyboard_.lock();
  if (!keyboard) return;
  keyboard->setUserInteractionEnabled(false);
  if (loadingViewIn(*keyboard)) return;
  auto view = ImageView::create();
  view->setImage(loadingImage());
  if (view->image()) view->setFrame(Rect(Point{}, view->image()->size()));
  view->setTag(kLoadingViewTag);
  view->setContentMode(ContentMode::Center);
  view->startAnimating();
  view->setAccessibilityIdentifier("loading");
  view->setAccessibilityLabel(QLEmotionGlobal::sharedInstance().localizedStringForKey("加载中..."));
  // Over the emoji area, in the keyboard's own coordinates, wherever the
  // keyboard itself sits; it grows with the keyboard and stays centred.
  const Rect b = keyboard->bounds();
  view->setCenter(Point{b.midX(), b.midY() - 0.5 * keyboard->toolBarHeight()});
  view->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  keyboard->addSubview(view);
}

void QLDefaultPackageLoader::removeGifLoading() {
  auto keyboard = keyboard_.lock();
  if (!keyboard) return;
  keyboard->setUserInteractionEnabled(true);
  if (auto view = loadingViewIn(*keyboard)) view->removeFromSuperview();
}

bool QLDefaultPackageLoader::isLoading() {
  if (loadingView()) return true;
  if (!downloading_) return false;
  if (downloadShowsAnimation_) addGifLoading();
  return true;
}

// --- The failure panel ---------------------------------------------------------

void QLDefaultPackageLoader::addKeyboardInitFailedView() {
  auto keyboard = keyboard_.lock();
  if (!keyboard) return;
  const Rect b = keyboard->bounds();
  failedView_ = QLKeyboardInitFailedView::create(Rect(0, 0, b.width(), b.height() - keyboard->toolBarHeight()));
  // Keeps covering the emoji area when the window resizes the keyboard.
  failedView_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  failedView_->setDataSource(failedSource_);
  keyboard->addSubview(failedView_);
}

void QLDefaultPackageLoader::removeKeyboardInitFailedView() {
  if (failedView_) failedView_->removeFromSuperview();
}

// --- Downloads -------------------------------------------------------------------

void QLDefaultPackageLoader::checkToDownloadDefaultEmojis() {
  if (isLoading()) return;
  if (!manager_.packageCache().isNeedDownloadedDefaultPackages()) return;
  download(false);
}

void QLDefaultPackageLoader::refreshData() {
  // A second tap, or a tap while the check's download runs behind the
  // panel, must not start a second download of the same packages.
  if (downloading_) return;
  download(true);
}

void QLDefaultPackageLoader::download(bool retry) {
  downloading_ = true;
  // The retry always shows the animation; the check only until a panel
  // was shown once (it then downloads behind the panel).
  downloadShowsAnimation_ = retry || !failedView_;
  if (retry) removeKeyboardInitFailedView();
  if (downloadShowsAnimation_) addGifLoading();
  Lifetime::Token alive = lifetime_.token();
  manager_.downloadDefaultPackages([this, alive, retry](const Status& status) {
    if (alive.expired()) return;
    finished(retry, status);
  });
}

void QLDefaultPackageLoader::finished(bool retry, const Status& status) {
  downloading_ = false;
  removeGifLoading();
  QLPackageCache& store = manager_.packageCache();
  // A list that cannot be written would have the set fetched again at every
  // start: the download failed as much as one whose package did not arrive.
  const bool saved = status.ok() && store.savePackageCache().ok();
  if (!saved) {
    // The packages stored before the failure are forgotten with the list,
    // whose file was never written: the next check fetches the whole set.
    store.clearDefaultPackages();
    removeKeyboardInitFailedView();
    addKeyboardInitFailedView();
    return;
  }
  removeKeyboardInitFailedView();
  if (retry) {
    if (auto keyboard = keyboard_.lock()) keyboard->requestData();
  }
  dataChanged();
  // After the store's and the data-change step's own work of this turn.
  Lifetime::Token alive = lifetime_.token();
  MainQueue::shared().async([this, alive] {
    if (alive.expired()) return;
    if (auto keyboard = keyboard_.lock()) keyboard->reloadData();
  });
}

void QLDefaultPackageLoader::dataChanged() {
  if (isLoading()) return;
  QLPackageCache& store = manager_.packageCache();
  if (!store.packagesChanged()) return;
  auto keyboard = keyboard_.lock();
  // Without a keyboard the flag stays: the next one loads the store anyway.
  if (!keyboard) return;
  keyboard->reloadData();
  store.setPackagesChanged(false);
}

}  // namespace vexa
