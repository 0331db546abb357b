#include "vexa/shop/QLRecommendCollectionCell.h"

#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionColor.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

QLRecommendCollectionCell::QLRecommendCollectionCell(Rect frame) : CollectionViewCell(frame) {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  imgView_ = QL_LoadImageView::create();
  imgView_->setContentMode(ContentMode::ScaleAspectFit);
  textLabel_ = Label::create();
  textLabel_->setTextAlignment(TextAlignment::Center);
  textLabel_->setTextColor(*QLEmotionColor::ql_colorWithHexColorString("#5c5c5c"));
  textLabel_->setFont(Font::systemFont(18));
  downloadView_ = QLDownloadView::create();
  downloadView_->setTitle(global.localizedStringForKey("下载"), QLDownloadView::kStatusNotDownloaded);
  downloadView_->setTitleColor(global.theme()->downloadTitleColor(),
                               QLDownloadView::kStatusNotDownloaded);
  host_ = std::make_unique<QLDownloadControlHost>(downloadView_);
  contentView()->addSubview(imgView_);
  contentView()->addSubview(textLabel_);
  contentView()->addSubview(downloadView_);
}

void QLRecommendCollectionCell::layoutSubviews() {
  const double W = bounds().width(), H = bounds().height();
  // Picture 120, gap 8, text column 144, centred as one group.
  const double x0 = (W - 120 - 8 - 144) / 2, y0 = (H - 120) / 2;
  imgView_->setFrame(Rect(x0 - 4, y0, 120, 120));
  textLabel_->setFrame(Rect(x0 + 124, y0 + 34, 144, 22));
  downloadView_->setFrame(Rect(x0 + 156, y0 + 64, 80, 30));
}

}  // namespace vexa
