// The SDK's facade: the one object a host application talks to.
//
// A process-wide singleton that hands the host's configuration on to the API
// client, owns the emotion keyboard while one is in use and the input-tip
// manager, and delivers the user's choices through a weakly held delegate.
//
// The keyboard: attachEmotionKeyboardToInput() makes it (on first use) and
// gives it to a text input as its input view; switchToDefaultKeyboard()
// gives the input its system keyboard back and lets the keyboard go. The
// centre is the keyboard's data source and delegate: it answers from the
// package store, makes sure the default packages are installed before the
// keyboard is used (QLDefaultPackageLoader: a loading animation, else a
// failure panel with a retry), inserts small emojis into the input as inline
// images while mixed text-image mode is on (QLInputEditor) and hands every
// other pick to the delegate (didSelectEmoji, usage action 11 reported),
// reports long presses (action 10), and passes send to didSendWithInput.
//
// Notifications: when the shop closes, the input gets its focus back and the
// keyboard shows the store's changes; when the store adds a package while the
// served input has the focus, the keyboard reloads (on the main thread,
// whichever thread stored it).
//
// Main thread only; only defaultCentre() is safe from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/core/VXEmotionCentreDelegate.h"
#include "vexa/platform/CallbackList.h"
#include "vexa/platform/Lifetime.h"
#include "vexa/platform/Result.h"
#include "vexa/store/VXEmoji.h"

namespace vexa {

class QLDefaultPackageLoader;
class QLDownloadManager;
class QLEmoji;
class QLEmotionKeyboard;
class QLEmotionKeyboardSession;
class QLPackage;
class TextInput;
class View;
class VXTheme;
class VXEmotionDetailViewController;
class VXTipManager;
struct QLEmotionKeyboardDataSource;
struct QLEmotionKeyboardDelegate;

// What fetchEmojisByType looks up.
enum VXFetchType : int32_t { VXFetchTypeSmall = 1, VXFetchTypeBig = 2 };

class VXEmotionCentre {
 public:
  // The emojis found, one per code known (as QLDownloadManager's lookups).
  using LookupCompletion = std::function<void(const Result<std::vector<std::shared_ptr<VXEmoji>>>& result)>;
  // Code (in kQLErrorDomain) of fetchEmojisByType's answer to another type.
  static constexpr int64_t kUnknownFetchTypeCode = 8891;
  // Usage actions the centre reports.
  static constexpr int64_t kActionView = 10;
  static constexpr int64_t kActionSend = 11;

  // Who picked an emoji handed to selectedEmoji().
  enum class Sender { Keyboard, TipManager, Other };

  // Creates the centre on first use (thread-safe) and returns it. Creation
  // runs the one-time upgrade step over the store on the main thread: at
  // once there, else on the main queue's next turn.
  static VXEmotionCentre& defaultCentre();

  // A centre of its own (tests, tools): downloads, requests and the store
  // through `manager`, keyboards on `session` (the shared one when none). It
  // runs no upgrade step; when it goes, it takes its keyboard off the input.
  explicit VXEmotionCentre(QLDownloadManager& manager,
                           std::shared_ptr<QLEmotionKeyboardSession> session = nullptr);
  ~VXEmotionCentre();
  VXEmotionCentre(const VXEmotionCentre&) = delete;
  VXEmotionCentre& operator=(const VXEmotionCentre&) = delete;

  // --- Configuration --------------------------------------------------------
  // Hands the credentials to the API client; the centre stores neither.
  void setAppId(const std::string& appId, const std::string& secret);
  void setUserId(const std::string& userId);

  std::shared_ptr<VXEmotionCentreDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<VXEmotionCentreDelegate>& delegate);

  // The theme of every screen of the SDK (QLEmotionGlobal's).
  void setTheme(std::shared_ptr<VXTheme> theme);

  // On (the default): emojis of small-emoji packages go into the input as
  // inline images. Off: every pick goes to the delegate. A change reloads
  // the keyboard.
  bool supportedMixedTextImage() const { return supportedMixedTextImage_; }
  void setSupportedMixedTextImage(bool supported);

  // "VEXA version 1.2.2".
  std::string version() const;

  // --- The keyboard -----------------------------------------------------------
  // The keyboard, made on first read (the screen's width, 216 points high).
  const std::shared_ptr<QLEmotionKeyboard>& emotionKeyboard();
  // The keyboard when one was made and not let go, else nullptr.
  const std::shared_ptr<QLEmotionKeyboard>& currentKeyboard() const { return keyboard_; }
  // Gives the keyboard to the input, when it is a text input on screen;
  // the keyboard is made either way.
  void attachEmotionKeyboardToInput(const std::shared_ptr<View>& input);
  // Gives the input its system keyboard back, empties the store's memory
  // and lets the keyboard go; the next attach makes a new one.
  void switchToDefaultKeyboard();
  // Forgets the service's new-emoji time stamp (asked again by the next
  // keyboard) and reloads the keyboard.
  void clearSession();

  // --- Input tips ---------------------------------------------------------------
  // Watches the input's text and shows matching emojis above the view; a
  // tapped tip reaches the delegate's didSelectTipEmoji. A missing view or
  // input stops the tips.
  void shouldShowShotcutPopoverAboveView(const std::shared_ptr<View>& view, const std::shared_ptr<View>& input);
  // Made by the first shouldShowShotcutPopoverAboveView, else nullptr.
  const std::shared_ptr<VXTipManager>& tipManager() const { return tipManager_; }

  // --- The big-emoji screen -----------------------------------------------------
  // A new screen for the emoji of the code (looked up when its view
  // loads), on the centre's download manager; the host presents it.
  std::shared_ptr<VXEmotionDetailViewController> controllerForEmotionCode(const std::string& code);

  // --- Lookups ------------------------------------------------------------------
  // Small or big emojis by code (the device first, then the service); any
  // other type completes at once with kUnknownFetchTypeCode.
  void fetchEmojisByType(int32_t type, const std::vector<std::string>& codes,
                         LookupCompletion completion);

  // --- What the keyboard asks and tells ---------------------------------------
  const std::shared_ptr<QLEmotionKeyboardDataSource>& keyboardDataSource() const { return keyboardSource_; }
  const std::shared_ptr<QLEmotionKeyboardDelegate>& keyboardDelegate() const { return keyboardDelegate_; }
  QLDefaultPackageLoader& defaultPackageLoader() { return *loader_; }

  // Mixed text-image mode is on and the package holds small emojis.
  bool canMixedTextImageForPackage(const QLPackage& package) const;
  // A pick that is not inserted inline: the delegate hears of it (from the
  // keyboard: didSelectEmoji; from the tips: didSelectTipEmoji; each only
  // when implemented), and usage action 11 is reported in every case.
  void selectedEmoji(const QLEmoji& emoji, const QLPackage& package, Sender sender);

  // Edits of the served input (nothing without one; see QLInputEditor).
  bool inputText(std::string_view text);
  bool backspace();

 private:
  void buildKeyboardDataSource();
  void buildKeyboardDelegate();
  void observeNotifications();
  // The input the keyboard serves, or nullptr.
  std::shared_ptr<TextInput> servedInput() const;
  void didSelectItem(const QLEmotionKeyboard& keyboard, int section, int item);
  void reportUsage(int64_t action, const QLPackage& package, const QLEmoji& emoji);
  // The shop closed: the served input gets its focus back, then (next turn)
  // the keyboard shows what changed.
  void backToUserInterface();
  void packagesUpdated();

  QLDownloadManager& manager_;
  std::shared_ptr<QLEmotionKeyboardSession> session_;
  std::weak_ptr<VXEmotionCentreDelegate> delegate_;
  bool supportedMixedTextImage_ = true;
  std::shared_ptr<QLEmotionKeyboard> keyboard_;
  std::shared_ptr<QLEmotionKeyboardDataSource> keyboardSource_;
  std::shared_ptr<QLEmotionKeyboardDelegate> keyboardDelegate_;
  std::unique_ptr<QLDefaultPackageLoader> loader_;
  std::shared_ptr<VXTipManager> tipManager_;
  std::vector<Subscription> observations_;
  // Expires with the centre; work arriving later finds it gone.
  Lifetime lifetime_;
};

}  // namespace vexa
