// The recommended-package cell of the keyboard's recommend page: a 120-point
// picture and, beside it, the package name over a download control, centred
// as one group in the cell.
//
// It hosts a QLDownloadView as its delegate: `progress` is the control's,
// and a tap on "下载" calls `downloadHandler` with status 1 once (only
// while the progress is exactly 0). The keyboard fills it and sets the
// handler.
//
// Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "vexa/platform/ui/CollectionViewCell.h"
#include "vexa/shop/QLDownloadControlHost.h"
#include "vexa/shop/QLDownloadView.h"
#include "vexa/shop/QL_LoadImageView.h"

namespace vexa {

class Label;

class QLRecommendCollectionCell : public CollectionViewCell {
 public:
  using DownloadHandler = QLDownloadControlHost::DownloadHandler;

  explicit QLRecommendCollectionCell(Rect frame = {});
  static std::shared_ptr<QLRecommendCollectionCell> create(Rect frame = {}) {
    return std::make_shared<QLRecommendCollectionCell>(frame);
  }

  // Aspect-fit; loads URLs through the image cache.
  const std::shared_ptr<QL_LoadImageView>& imgView() const { return imgView_; }
  const std::shared_ptr<Label>& textLabel() const { return textLabel_; }
  const std::shared_ptr<QLDownloadView>& downloadView() const { return downloadView_; }

  double progress() const { return downloadView_->progress(); }
  void setProgress(double progress) { downloadView_->setProgress(progress); }

  const DownloadHandler& downloadHandler() const { return host_->handler(); }
  void setDownloadHandler(DownloadHandler handler) { host_->setHandler(std::move(handler)); }

  void layoutSubviews() override;

 private:
  std::shared_ptr<QL_LoadImageView> imgView_;
  std::shared_ptr<Label> textLabel_;
  std::shared_ptr<QLDownloadView> downloadView_;
  std::unique_ptr<QLDownloadControlHost> host_;
};

}  // namespace vexa
