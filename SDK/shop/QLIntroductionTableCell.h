// The package detail screen's introduction row: the package's name, its
// introduction on as many lines as it needs, and the download control
// beside the name.
//
// It hosts a QLDownloadView as its delegate (see QLDownloadControlHost): a
// tap on "下载" calls `downloadHandler` with status 1 once, only while the
// progress is exactly 0. Setting the progress also shows the control.
// Sizes follow the main screen's class. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "vexa/platform/Font.h"
#include "vexa/platform/ui/TableViewCell.h"
#include "vexa/shop/QLDownloadControlHost.h"
#include "vexa/shop/QLDownloadView.h"

namespace vexa {

class Label;

class QLIntroductionTableCell : public TableViewCell {
 public:
  using DownloadHandler = QLDownloadControlHost::DownloadHandler;

  QLIntroductionTableCell();
  static std::shared_ptr<QLIntroductionTableCell> create() {
    return std::make_shared<QLIntroductionTableCell>();
  }

  // The row's height for an introduction shown `width` points wide, in
  // `font` (the theme's detailPackageDescFont when none).
  static double cellHeightForDesc(const std::string& text, double width,
                                  const std::optional<Font>& font = std::nullopt);

  const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }
  const std::shared_ptr<Label>& descLabel() const { return descLabel_; }
  const std::shared_ptr<QLDownloadView>& downloadView() const { return downloadView_; }

  double progress() const { return downloadView_->progress(); }
  void setProgress(double progress);
  void hideDownload(bool hidden) { downloadView_->setHidden(hidden); }

  const DownloadHandler& downloadHandler() const { return host_->handler(); }
  void setDownloadHandler(DownloadHandler handler) { host_->setHandler(std::move(handler)); }

  void layoutSubviews() override;

 private:
  std::shared_ptr<Label> titleLabel_;
  std::shared_ptr<Label> descLabel_;
  std::shared_ptr<QLDownloadView> downloadView_;
  std::unique_ptr<QLDownloadControlHost> host_;
};

}  // namespace vexa
