// A package row of the shop (and of the package detail screen): cover with
// an optional "new" badge over its top-left quarter, name, introduction on
// as many lines as fit, the download control at the right, and hairlines.
//
// It hosts a QLDownloadView as its delegate: `progress` is the control's,
// and a tap on "下载" calls `downloadHandler` with status 1 once (only
// while the progress is exactly 0). Sizes follow the main screen's class.
//
// Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "vexa/platform/ui/TableViewCell.h"
#include "vexa/shop/QLDownloadControlHost.h"
#include "vexa/shop/QLDownloadView.h"
#include "vexa/shop/QL_LoadImageView.h"

namespace vexa {

class ImageView;
class Label;

class QLNormalTableCell : public TableViewCell {
 public:
  using DownloadHandler = QLDownloadControlHost::DownloadHandler;

  QLNormalTableCell();
  static std::shared_ptr<QLNormalTableCell> create() { return std::make_shared<QLNormalTableCell>(); }

  // The cover; loads URLs through the image cache.
  const std::shared_ptr<QL_LoadImageView>& imgView() const { return imgView_; }
  const std::shared_ptr<ImageView>& promotionImage() const { return promotionImage_; }
  const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }
  const std::shared_ptr<Label>& detailLabel() const { return detailLabel_; }
  const std::shared_ptr<View>& topLine() const { return topLine_; }
  const std::shared_ptr<View>& bottomLine() const { return bottomLine_; }
  const std::shared_ptr<QLDownloadView>& downloadView() const { return downloadView_; }

  // Whether the badge is on the cover.
  bool promotion() const { return promotion_; }
  void addPromotionImage();
  void removePromotionImage();

  double progress() const { return downloadView_->progress(); }
  void setProgress(double progress) { downloadView_->setProgress(progress); }

  const DownloadHandler& downloadHandler() const { return host_->handler(); }
  void setDownloadHandler(DownloadHandler handler) { host_->setHandler(std::move(handler)); }

  void layoutSubviews() override;

 private:
  std::shared_ptr<QL_LoadImageView> imgView_;
  std::shared_ptr<ImageView> promotionImage_;
  std::shared_ptr<Label> titleLabel_;
  std::shared_ptr<Label> detailLabel_;
  std::shared_ptr<View> topLine_;
  std::shared_ptr<View> bottomLine_;
  std::shared_ptr<QLDownloadView> downloadView_;
  std::unique_ptr<QLDownloadControlHost> host_;
  bool promotion_ = false;
};

}  // namespace vexa
