#include "vexa/shop/QLDownloadView.h"

#include <cmath>

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/theme/QLEmotionColor.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

std::shared_ptr<QLDownloadView> QLDownloadView::packageControl() {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto theme = global.theme();
  auto control = create();
  control->setTitle(global.localizedStringForKey("下载"), kStatusNotDownloaded);
  control->setTitle(global.localizedStringForKey("已下载"), kStatusDownloaded);
  control->setTitleColor(theme->downloadTitleColor(), kStatusNotDownloaded);
  control->setTitleColor(theme->downloadedTilteColor(), kStatusDownloaded);
  return control;
}

QLDownloadView::QLDownloadView(Rect frame) : View(frame) {
  setBackgroundColor(Color::clear());
  downloadBtn_ = Button::create(bounds());
  downloadBtn_->setTitleFont(QLEmotionGlobal::sharedInstance().theme()->downloadTitleFont());
  downloadBtn_->setTitleColor(Color::black());
  downloadBtn_->setBorderColor(*QLEmotionColor::ql_colorWithHexColorString("#d6d6d6"));
  downloadBtn_->setBorderWidth(1);
  downloadBtn_->setCornerRadius(3);
  // The button is this view's own (held only here and in the tree below).
  downloadBtn_->addAction(ControlEventTouchUpInside, [this](Control&) { downloadBtnAction(); });
  addSubview(downloadBtn_);
}

void QLDownloadView::setTitle(const std::string& title, int status) {
  if (status == kStatusNotDownloaded) {
    btnInitTitle_ = title;
  } else if (status == kStatusDownloaded) {
    btnFinishedTitle_ = title;
  } else {
    return;
  }
  if (status == status_) downloadBtn_->setTitle(title);
}

void QLDownloadView::setTitleColor(const Color& color, int status) {
  if (status == kStatusNotDownloaded) {
    btnInitColor_ = color;
  } else if (status == kStatusDownloaded) {
    btnFinishedColor_ = color;
  } else {
    return;
  }
  if (status == status_) downloadBtn_->setTitleColor(color);
}

void QLDownloadView::setStatus(int status) {
  if (status == status_) return;
  status_ = status;
  switch (status) {
    case kStatusDownloaded:
      showButton(btnFinishedTitle_, btnFinishedColor_);
      break;
    case kStatusDownloading:
      showBar();
      break;
    case kStatusNotDownloaded:
      showButton(btnInitTitle_, btnInitColor_);
      break;
    default:
      break;
  }
}

void QLDownloadView::showButton(const std::string& title, const Color& color) {
  progressBar()->removeFromSuperview();
  addSubview(downloadBtn_);
  downloadBtn_->setTitle(title);
  downloadBtn_->setTitleColor(color);
}

void QLDownloadView::showBar() {
  downloadBtn_->removeFromSuperview();
  addSubview(progressBar());
}

void QLDownloadView::setProgress(double progress) {
  VX_ASSERT_MAIN_THREAD();
  progress_ = std::isnan(progress) ? 0 : std::clamp(progress, 0.0, 1.0);
  if (progressBar_) progressBar_->setProgress(progress_);
  setStatus(progress_ == 0 ? kStatusNotDownloaded
                           : progress_ == 1 ? kStatusDownloaded : kStatusDownloading);
}

const std::shared_ptr<QLLDProgressView>& QLDownloadView::progressBar() {
  if (progressBar_) return progressBar_;
  progressBar_ = QLLDProgressView::create(bounds());
  progressBar_->setColor(QLEmotionGlobal::sharedInstance().theme()->downloadTitleColor());
  progressBar_->setFlat(true);
  progressBar_->setAnimate(false);
  progressBar_->setShowStroke(false);
  progressBar_->setProgressInset(0);
  progressBar_->setShowBackground(false);
  progressBar_->setOuterStrokeWidth(1);
  progressBar_->setType(2);
  progressBar_->setBorderRadius(3);
  progressBar_->overrideProgressTextColor(Color::white(0.5));
  progressBar_->setTextAlignment(1);
  // A value that arrived before the bar existed is shown, not lost.
  progressBar_->setProgress(progress_);
  return progressBar_;
}

void QLDownloadView::downloadBtnAction() {
  if (status_ == kStatusNotDownloaded) setStatus(kStatusDownloading);
  auto delegate = delegate_.lock();
  if (delegate && delegate->triggerActionForStatus) delegate->triggerActionForStatus(*this, status_);
}

void QLDownloadView::layoutSubviews() {
  downloadBtn_->setFrame(bounds());
  if (progressBar_) progressBar_->setFrame(bounds());
}

}  // namespace vexa
