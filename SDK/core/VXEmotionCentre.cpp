#include "vexa/core/VXEmotionCentre.h"

#include "vexa/api/QLDownloadManager.h"
#include "vexa/core/QLDefaultPackageLoader.h"
#include "vexa/core/QLInputEditor.h"
#include "vexa/core/VXVersionManager.h"
#include "vexa/keyboard/QLEmotionKeyboard.h"
#include "vexa/keyboard/QLEmotionKeyboardSession.h"
#include "vexa/keyboard/VXEmotionDetailViewController.h"
#include "vexa/keyboard/VXTipManager.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Once.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/TextInputView.h"
#include "vexa/shop/QLShopViewController.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

VXEmotionCentre& VXEmotionCentre::defaultCentre() {
  return Once<VXEmotionCentre>::instance([] {
    auto* centre = new VXEmotionCentre(QLDownloadManager::defaultManager());
    // A failed write only means the step runs again next start; the packages
    // it touched are already stored, so the host need not hear of it.
    auto upgrade = [] { (void)VXVersionManager::defaultManager().checkForUpdate(); };
    // The store belongs to the main thread. Not a synchronous hop: the main
    // thread may itself be waiting for this creation to finish.
    if (isMainThread()) {
      upgrade();
    } else {
      MainQueue::shared().async(upgrade);
    }
    return centre;
  });
}

VXEmotionCentre::VXEmotionCentre(QLDownloadManager& manager, std::shared_ptr<QLEmotionKeyboardSession> session)
    : manager_(manager),
      session_(session ? std::move(session) : QLEmotionKeyboardSession::shared()),
      loader_(std::make_unique<QLDefaultPackageLoader>(manager)) {
  buildKeyboardDataSource();
  buildKeyboardDelegate();
  observeNotifications();
}

VXEmotionCentre::~VXEmotionCentre() {
  observations_.clear();
  if (keyboard_) keyboard_->switchToDefaultKeyboard();
  if (tipManager_) tipManager_->deAttach();
}

// --- Configuration -------------------------------------------------------------

void VXEmotionCentre::setAppId(const std::string& appId, const std::string& secret) {
  manager_.setAppId(appId);
  manager_.setAppSecret(secret);
}

void VXEmotionCentre::setUserId(const std::string& userId) { manager_.setUserId(userId); }

void VXEmotionCentre::setDelegate(const std::shared_ptr<VXEmotionCentreDelegate>& delegate) {
  if (delegate_.lock() != delegate) delegate_ = delegate;
}

void VXEmotionCentre::setTheme(std::shared_ptr<VXTheme> theme) {
  QLEmotionGlobal::sharedInstance().setTheme(std::move(theme));
}

void VXEmotionCentre::setSupportedMixedTextImage(bool supported) {
  if (supported == supportedMixedTextImage_) return;
  supportedMixedTextImage_ = supported;
  if (keyboard_) keyboard_->reloadData();
}

std::string VXEmotionCentre::version() const { return VXVersionManager::defaultManager().vexaVersion(); }

// --- The keyboard ------------------------------------------------------------------

const std::shared_ptr<QLEmotionKeyboard>& VXEmotionCentre::emotionKeyboard() {
  if (!keyboard_) {
    keyboard_ = QLEmotionKeyboard::create(
        Rect(0, 0, Screen::main().bounds.width(), QLEmotionKeyboard::kDefaultHeight), manager_, session_);
    keyboard_->setDelegate(keyboardDelegate_);
    keyboard_->setDataSource(keyboardSource_);
    loader_->setKeyboard(keyboard_);
  }
  return keyboard_;
}

void VXEmotionCentre::attachEmotionKeyboardToInput(const std::shared_ptr<View>& input) {
  const auto& keyboard = emotionKeyboard();
  (void)QLEmotionKeyboard::switchToEmotionKeyboard(input, keyboard);
}

void VXEmotionCentre::switchToDefaultKeyboard() {
  if (keyboard_) keyboard_->switchToDefaultKeyboard();
  // Emptying the store's lists while the defaults download would drop the
  // packages already stored from the default list, whose file is written
  // only at the end: the memory is given back once it is safe.
  if (!loader_->isDownloading()) manager_.packageCache().clear();
  keyboard_.reset();
  loader_->setKeyboard({});
}

void VXEmotionCentre::clearSession() {
  session_->setNewEmojiTimestamp(0);
  if (keyboard_) keyboard_->reloadData();
}

std::shared_ptr<TextInput> VXEmotionCentre::servedInput() const {
  return keyboard_ ? keyboard_->textInput() : nullptr;
}

bool VXEmotionCentre::inputText(std::string_view text) {
  auto input = servedInput();
  return input && QLInputEditor::inputText(*input, text);
}

bool VXEmotionCentre::backspace() {
  auto input = servedInput();
  return input && QLInputEditor::backspace(*input);
}

// --- Input tips -----------------------------------------------------------------------

void VXEmotionCentre::shouldShowShotcutPopoverAboveView(const std::shared_ptr<View>& view,
                                                        const std::shared_ptr<View>& input) {
  if (!tipManager_) {
    tipManager_ = VXTipManager::create(manager_.packageCache());
    Lifetime::Token alive = lifetime_.token();
    tipManager_->setSelectedHandler([this, alive](const std::shared_ptr<QLEmoji>& emoji,
                                                  const std::shared_ptr<QLPackage>& package) {
      if (alive.expired() || !emoji || !package) return;
      selectedEmoji(*emoji, *package, Sender::TipManager);
    });
  }
  tipManager_->attachTipToView(view, input);
}

// --- The big-emoji screen ---------------------------------------------------------------

std::shared_ptr<VXEmotionDetailViewController> VXEmotionCentre::controllerForEmotionCode(const std::string& code) {
  return VXEmotionDetailViewController::create(code, manager_);
}

// --- Lookups ----------------------------------------------------------------------------

void VXEmotionCentre::fetchEmojisByType(int32_t type, const std::vector<std::string>& codes,
                                        LookupCompletion completion) {
  switch (type) {
    case VXFetchTypeSmall:
      manager_.fetchSmallEmojisByCodes(codes, std::move(completion));
      return;
    case VXFetchTypeBig:
      manager_.fetchBigEmojisByCodes(codes, std::move(completion));
      return;
    default:
      // A caller waiting for its answer must get one.
      if (completion) {
        completion(qlErrorWithCode(kUnknownFetchTypeCode, "Unknown fetch type " + std::to_string(type)));
      }
  }
}

// --- Notifications ----------------------------------------------------------------------

void VXEmotionCentre::observeNotifications() {
  auto& center = NotificationCenter::defaultCenter();
  Lifetime::Token alive = lifetime_.token();
  observations_.push_back(center.addObserver(kQLEmotionDismissShopNotification, [this, alive](const Notification&) {
    if (!alive.expired()) backToUserInterface();
  }));
  // The store may post from the thread that stored the package; the
  // reaction touches the keyboard, which belongs to the main thread.
  observations_.push_back(center.addObserver(
      kQLEmotionPackageAddNotification,
      [this, alive](const Notification&) {
        if (isMainThread()) {
          if (!alive.expired()) packagesUpdated();
          return;
        }
        MainQueue::shared().async([this, alive] {
          if (!alive.expired()) packagesUpdated();
        });
      },
      &manager_.packageCache()));
}

void VXEmotionCentre::backToUserInterface() {
  if (!keyboard_) return;
  if (auto input = keyboard_->textInputView()) input->becomeFirstResponder();
  Lifetime::Token alive = lifetime_.token();
  MainQueue::shared().asyncAfter(MainQueue::Duration::zero(), [this, alive] {
    if (!alive.expired()) loader_->dataChanged();
  });
}

void VXEmotionCentre::packagesUpdated() {
  if (!keyboard_) return;
  auto input = keyboard_->textInputView();
  if (input && input->isFirstResponder()) loader_->dataChanged();
}

}  // namespace vexa
