// The download control of every place that offers a package: a bordered
// button titled "下载" before and "已下载" after the download, replaced by a
// flat progress bar with a percentage while the package downloads.
//
// Status: 0 not downloaded (button), 1 downloading (bar), 2 downloaded
// (button). Setting the progress sets the status: 0 gives 0, 1 gives 2,
// anything between gives 1. A tap on the button in status 0 shows the bar
// at 0 % and tells the delegate with status 1; a tap in status 2 tells it
// with status 2.
//
// Progress is kept in 0...1 (outside values are clamped, NaN is 0), also
// when it is set before the bar exists: the bar starts with it.
//
// Host cells (the shop row, the recommended cell, the detail screen's
// introduction row) own one control, are its delegate, forward `progress`
// and call their `downloadHandler` only while their progress is exactly 0,
// so a tap on "下载" reaches the handler once.
//
// Main thread only. The delegate is held weakly.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vexa/platform/Color.h"
#include "vexa/platform/ui/View.h"
#include "vexa/shop/QLLDProgressView.h"

namespace vexa {

class Button;
class QLDownloadView;

struct QLDownloadViewDelegate {
  virtual ~QLDownloadViewDelegate() = default;
  // The user tapped the control; `status` is the control's status after the tap.
  std::function<void(QLDownloadView& view, int status)> triggerActionForStatus;
};

class QLDownloadView : public View {
 public:
  static constexpr int kStatusNotDownloaded = 0;
  static constexpr int kStatusDownloading = 1;
  static constexpr int kStatusDownloaded = 2;

  explicit QLDownloadView(Rect frame = {});
  static std::shared_ptr<QLDownloadView> create(Rect frame = {}) {
    return std::make_shared<QLDownloadView>(frame);
  }
  // The control of a package row: "下载" and "已下载" (localized) in the
  // theme's downloadTitleColor and downloadedTilteColor.
  static std::shared_ptr<QLDownloadView> packageControl();

  void setDelegate(std::weak_ptr<QLDownloadViewDelegate> delegate) { delegate_ = std::move(delegate); }
  std::shared_ptr<QLDownloadViewDelegate> delegate() const { return delegate_.lock(); }

  // Only statuses 0 and 2 have titles and colours; other statuses store
  // nothing. The button changes at once when `status` is the current one.
  void setTitle(const std::string& title, int status);
  void setTitleColor(const Color& color, int status);
  const std::string& btnInitTitle() const { return btnInitTitle_; }
  const std::string& btnFinishedTitle() const { return btnFinishedTitle_; }
  const Color& btnInitColor() const { return btnInitColor_; }
  const Color& btnFinishedColor() const { return btnFinishedColor_; }

  int status() const { return status_; }
  // Shows the button or the bar for the status; other values are only stored.
  void setStatus(int status);

  double progress() const { return progress_; }
  void setProgress(double progress);

  const std::shared_ptr<Button>& downloadBtn() const { return downloadBtn_; }
  // Made on first use, with the control's look, and kept.
  const std::shared_ptr<QLLDProgressView>& progressBar();
  bool hasProgressBar() const { return static_cast<bool>(progressBar_); }

  // The button's action.
  void downloadBtnAction();

  void layoutSubviews() override;

 private:
  void showButton(const std::string& title, const Color& color);
  void showBar();

  std::weak_ptr<QLDownloadViewDelegate> delegate_;
  std::shared_ptr<Button> downloadBtn_;
  std::shared_ptr<QLLDProgressView> progressBar_;
  std::string btnInitTitle_, btnFinishedTitle_;
  Color btnInitColor_ = Color::black();
  Color btnFinishedColor_ = Color::black();
  int status_ = kStatusNotDownloaded;
  double progress_ = 0;
};

}  // namespace vexa
