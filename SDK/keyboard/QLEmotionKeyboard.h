// The emotion keyboard: the view that takes the place of the system
// keyboard of a text input while the user picks emojis. Above, the item
// group view (a paged grid of every package's emojis, QLInputItemGroupView);
// below, the tool bar (QLInputToolView) with the shop button, one tab per
// package and the send button; a "new" mark on the tool bar's corner while
// the service has packages newer than the user's last visit to the shop.
// While the service recommends packages that are not stored, a recommended
// group comes first, whose cards offer them for download.
//
// Groups and sections: sections are the data source's packages; groups are
// what the child views show. While the recommended group is shown, group 0
// is it and group g >= 1 is section g - 1; otherwise group g is section g.
//
// The keyboard knows no packages itself: it asks its data source and tells
// its delegate (both held weakly; every member optional, a missing answer
// counts as 0, none or no). Requests (the recommended category, the
// new-emoji time stamp) go through the given download manager; packages are
// looked up in that manager's store. The state shared by all keyboards lives
// in a QLEmotionKeyboardSession.
//
// Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "vexa/keyboard/QLEmotionKeyboardDataSource.h"
#include "vexa/keyboard/QLEmotionKeyboardDelegate.h"
#include "vexa/keyboard/QLGroupIndexPath.h"
#include "vexa/platform/TextInput.h"
#include "vexa/platform/ui/View.h"
#include "vexa/store/QLCategory.h"

namespace vexa {

class ImageView;
class QLDownloadManager;
class TextInputView;
class QLEmotionKeyboardSession;
class QLInputItemGroupView;
class QLInputToolView;
class ViewController;
struct QLInputItemGroupViewDataSource;
struct QLInputItemGroupViewDelegate;
struct QLInputToolViewDataSource;
struct QLInputToolViewDelegate;

class QLEmotionKeyboard : public View {
 public:
  using ImagePtr = std::shared_ptr<const Image>;
  // The tool bar's actions.
  static constexpr int kToolActionTab = 0;
  static constexpr int kToolActionAdd = 1;
  static constexpr int kToolActionSend = 2;
  // The keyboard's height when made by keyboard().
  static constexpr double kDefaultHeight = 216;
  // The user-defaults key of the user's last visit to the shop (ms since 1970).
  static constexpr const char* kTimeStampKey = "timeStamp";

  QLEmotionKeyboard(Rect frame, QLDownloadManager& manager,
                    std::shared_ptr<QLEmotionKeyboardSession> session);
  ~QLEmotionKeyboard() override;

  // A keyboard as wide as the main screen and 216 points high, on the shared
  // download manager and session. It starts its requests (requestData).
  static std::shared_ptr<QLEmotionKeyboard> keyboard();
  // Any frame, manager and session; also starts requestData.
  static std::shared_ptr<QLEmotionKeyboard> create(Rect frame, QLDownloadManager& manager,
                                                   std::shared_ptr<QLEmotionKeyboardSession> session);

  // --- Data source and delegate: setting a different one reloads.
  std::shared_ptr<QLEmotionKeyboardDataSource> dataSource() const { return dataSource_.lock(); }
  void setDataSource(const std::shared_ptr<QLEmotionKeyboardDataSource>& dataSource);
  std::shared_ptr<QLEmotionKeyboardDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<QLEmotionKeyboardDelegate>& delegate);

  // Points; by screen class at creation (33, 39 or 42). A new value lays
  // the keyboard out again.
  double toolBarHeight() const { return toolBarHeight_; }
  void setToolBarHeight(double height);

  // Reloads the tool bar, then the grid.
  void reloadData();
  // Asks the service for the recommended category (while none is held) and
  // the new-emoji time stamp (while it is 0); reloads with the answers.
  void requestData();
  // Forgets the new-emoji time stamp of the shared session, so that the
  // next keyboard (or requestData) asks the service again.
  static void clearSession();

  // --- The attached input.
  // The model of the input the keyboard serves (sharing the view's
  // ownership), or nullptr.
  std::shared_ptr<TextInput> textInput() const;
  // The input on screen (the responder), or nullptr.
  std::shared_ptr<TextInputView> textInputView() const { return textInputView_.lock(); }
  // Serves the input: remembers it (weakly), lays a transparent overlay over
  // it whose tap gives the input its system keyboard back (and tells the
  // delegate tapOverlayForKeyboard), and becomes its input view. Attaching to
  // another input first detaches from the one served.
  void attachToTextInput(const std::shared_ptr<TextInputView>& input);
  // Takes the overlay off the input, gives it its system keyboard back and
  // forgets it.
  void switchToDefaultKeyboard();
  // The overlay laid over the served input, or nullptr.
  const std::shared_ptr<View>& overlay() const { return overlay_; }

  // --- What every responder can be asked about the emotion keyboard.
  // The responder's input view when that is an emotion keyboard, else nullptr.
  static std::shared_ptr<QLEmotionKeyboard> emotionKeyboard(const View& responder);
  // Detaches the responder's emotion keyboard, if it has one.
  static void switchToDefaultKeyboard(const View& responder);
  // Attaches the keyboard to the responder when it is a text input that
  // takes an input view; false (and nothing changed) otherwise.
  static bool switchToEmotionKeyboard(const std::shared_ptr<View>& responder,
                                      const std::shared_ptr<QLEmotionKeyboard>& keyboard);

  // --- The "new" mark.
  // The stored "timeStamp" (0 when absent) is older than the service's.
  bool shouldShowRemindView() const;
  // Hidden when `show` is false or the stored time is newer than the service's.
  void showRemindView(bool show);
  // Stores the time (ms since 1970) under "timeStamp" and writes it at once.
  static void setLatestTime(double milliseconds);

  // --- Parts.
  const std::shared_ptr<QLInputItemGroupView>& groupView() const { return groupView_; }
  const std::shared_ptr<QLInputToolView>& toolView() const { return toolView_; }
  const std::shared_ptr<ImageView>& remindView() const { return remindView_; }
  QLDownloadManager& downloadManager() const { return manager_; }
  QLEmotionKeyboardSession& session() const { return *session_; }

  // --- What the child views are told (groups mapped to sections).
  bool shouldShowRecommendGroup() const;
  // The held category less the packages already stored, in the service's order.
  std::shared_ptr<QLCategory> recommendCategory() const;
  int numberOfGroups();
  int numberOfItemsAtGroup(int group);
  size_t numberOfRowAtGroup(int group);
  size_t numberOfColumnAtGroup(int group);
  QLGroupIndexPath selectedGroupPath();
  bool shouldAddBackspaceAtGroup(int group);
  void recommendDownloadFinished();
  size_t numberOfToolItems();
  ImagePtr toolImageAtIndex(size_t index);
  size_t selectedGroupIndex();
  bool shouldContainedSendButtonAtIndex(size_t section);
  // Grid and tool bar events.
  void scrollToGroup(int group);
  void inputToolViewTriggerAction(int action, size_t index);

  // The shop presented by the add button while it is open, else nullptr.
  std::shared_ptr<ViewController> presentedShop() const { return presentedShop_.lock(); }

  void layoutSubviews() override;

 protected:
  void willMoveToSuperview(View* newSuperview) override;

 private:
  // Section of a group (group - 1 while the recommended group is shown).
  int sectionForGroup(int group);
  bool hasDefaultPackages() const;
  std::optional<size_t> selectedSection();
  void presentShop();
  void tapOverlay();
  void buildChildProtocols();

  QLDownloadManager& manager_;
  std::shared_ptr<QLEmotionKeyboardSession> session_;
  std::weak_ptr<QLEmotionKeyboardDataSource> dataSource_;
  std::weak_ptr<QLEmotionKeyboardDelegate> delegate_;
  double toolBarHeight_ = 42;
  std::shared_ptr<QLInputItemGroupView> groupView_;
  std::shared_ptr<QLInputToolView> toolView_;
  std::shared_ptr<ImageView> remindView_;
  std::shared_ptr<QLInputItemGroupViewDataSource> groupSource_;
  std::shared_ptr<QLInputItemGroupViewDelegate> groupDelegate_;
  std::shared_ptr<QLInputToolViewDataSource> toolSource_;
  std::shared_ptr<QLInputToolViewDelegate> toolDelegate_;
  std::weak_ptr<TextInputView> textInputView_;
  std::shared_ptr<View> overlay_;
  std::weak_ptr<ViewController> presentedShop_;
};

}  // namespace vexa
