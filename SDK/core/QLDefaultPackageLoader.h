// Makes sure the default (small-emoji) packages are on the device before
// the emotion keyboard is used, and shows it in the keyboard: a loading
// animation (an image view with tag 1000, over the emoji area, the keyboard
// not interactive meanwhile) while they download, and the failure panel
// (QLKeyboardInitFailedView over everything but the tool bar) with its
// "点击刷新" retry when they could not be had.
//
// The centre checks each time its keyboard is added to or taken off a
// superview (checkToDownloadDefaultEmojis) and owns one loader. States of
// the keyboard: ready; loading (animation up); failed (panel up, tool bar
// usable). A failed check or retry forgets a partly installed default set
// in memory (its list file was never written), so the next check fetches
// it again; a success writes the list files, reloads the keyboard and,
// after a retry, asks the service for what the keyboard shows beyond the
// packages.
//
// One default-package download runs at a time, whichever way it started: a
// check or a retry meanwhile does nothing. The loader works on the keyboard
// the centre holds at the moment (held weakly): a download that ends after
// the centre let its keyboard go does no view work on it, and a keyboard
// made meanwhile shows the animation while the download runs.
//
// Main thread only. Downloads go through the given manager and its store.
#pragma once

#include <memory>

#include "vexa/platform/Lifetime.h"
#include "vexa/platform/Result.h"

namespace vexa {

class QLDownloadManager;
class QLEmotionKeyboard;
class QLKeyboardInitFailedView;
class View;
struct QLKeyboardInitFailedViewDataSource;

class QLDefaultPackageLoader {
 public:
  // The tag of the loading animation inside the keyboard.
  static constexpr int kLoadingViewTag = 1000;

  explicit QLDefaultPackageLoader(QLDownloadManager& manager);
  ~QLDefaultPackageLoader();
  QLDefaultPackageLoader(const QLDefaultPackageLoader&) = delete;
  QLDefaultPackageLoader& operator=(const QLDefaultPackageLoader&) = delete;

  // The keyboard to show the animation and the panel in (none: no view work).
  void setKeyboard(std::weak_ptr<QLEmotionKeyboard> keyboard) { keyboard_ = std::move(keyboard); }
  std::shared_ptr<QLEmotionKeyboard> keyboard() const { return keyboard_.lock(); }

  // Starts the download when the store has no default packages and none is
  // running; the animation goes up unless a panel was ever shown.
  void checkToDownloadDefaultEmojis();
  // The panel's retry: takes the panel off, puts the animation up and
  // downloads; a failure brings a fresh, armed panel.
  void refreshData();
  // Reloads the keyboard when the store's packages changed and nothing is
  // loading, then clears the store's change flag.
  void dataChanged();

  // The animation is up, or a download runs (the animation is put back on
  // a keyboard made meanwhile, when that download shows one).
  bool isLoading();
  // A default-package download runs.
  bool isDownloading() const { return downloading_; }

  void addGifLoading();
  void removeGifLoading();
  // The keyboard's animation view, or nullptr.
  std::shared_ptr<View> loadingView() const;

  // A fresh panel over the keyboard's emoji area, the retry armed.
  void addKeyboardInitFailedView();
  // Takes the panel off the keyboard; it stays referenced.
  void removeKeyboardInitFailedView();
  // The last panel made (also while off screen), or nullptr.
  const std::shared_ptr<QLKeyboardInitFailedView>& keyboardInitFailedView() const { return failedView_; }

 private:
  void download(bool retry);
  void finished(bool retry, const Status& status);

  QLDownloadManager& manager_;
  std::weak_ptr<QLEmotionKeyboard> keyboard_;
  std::shared_ptr<QLKeyboardInitFailedView> failedView_;
  std::shared_ptr<QLKeyboardInitFailedViewDataSource> failedSource_;
  bool downloading_ = false;
  bool downloadShowsAnimation_ = false;
  // Expires with the loader; answers arriving later find it gone.
  Lifetime lifetime_;
};

}  // namespace vexa
