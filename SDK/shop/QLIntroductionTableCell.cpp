#include "vexa/shop/QLIntroductionTableCell.h"

#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

struct IntroductionMetrics {
  double margin;
  Size control;
  double titleTop;
  double gap;
};

IntroductionMetrics introductionMetrics() {
  const Screen screen = Screen::main();
  if (screen.isPhone() && screen.longSide() <= 568) return {12, {60, 28}, 18, 19};
  if (screen.isPhone() && screen.longSide() == 667) return {15, {71, 34}, 21, 25};
  return {20, {78, 35}, 22, 27};
}

double textHeight(const std::string& text, double width, const Font& font) {
  Label measure;
  measure.setNumberOfLines(0);
  measure.setFont(font);
  measure.setText(text);
  return measure.heightForWidth(width);
}

}  // namespace

QLIntroductionTableCell::QLIntroductionTableCell() {
  QLEmotionGlobal& global = QLEmotionGlobal::sharedInstance();
  auto theme = global.theme();
  setSelectionStyle(SelectionStyle::None);
  titleLabel_ = Label::create();
  titleLabel_->setFont(theme->detailPackageTitleFont());
  titleLabel_->setTextColor(theme->detailPackageTitleColor());
  descLabel_ = Label::create();
  descLabel_->setNumberOfLines(0);
  descLabel_->setFont(theme->detailPackageDescFont());
  descLabel_->setTextColor(theme->detailPackageDescColor());
  downloadView_ = QLDownloadView::packageControl();
  host_ = std::make_unique<QLDownloadControlHost>(downloadView_);
  contentView()->addSubview(titleLabel_);
  contentView()->addSubview(descLabel_);
  contentView()->addSubview(downloadView_);
}

double QLIntroductionTableCell::cellHeightForDesc(const std::string& text, double width,
                                                  const std::optional<Font>& font) {
  const Screen screen = Screen::main();
  double base = 120, sides = 40;
  if (screen.isPhone() && screen.longSide() <= 568) {
    base = 90;
    sides = 24;
  } else if (!screen.isPhone()) {
    base = 120;
    sides = 40;
  } else if (screen.longSide() == 667) {
    base = 110;
    sides = 30;
  }
  const Font shown = font ? *font : QLEmotionGlobal::sharedInstance().theme()->detailPackageDescFont();
  return base + textHeight(text, width - sides, shown);
}

void QLIntroductionTableCell::setProgress(double progress) {
  downloadView_->setProgress(progress);
  hideDownload(false);
}

void QLIntroductionTableCell::layoutSubviews() {
  TableViewCell::layoutSubviews();
  const double W = contentView()->bounds().width();
  const IntroductionMetrics m = introductionMetrics();
  Rect control(W - m.control.width - m.margin, m.margin, m.control.width, m.control.height);
  const double titleHeight = titleLabel_->sizeThatFits(Size{}).height;
  titleLabel_->setFrame(Rect(m.margin, m.titleTop, control.minX() - 2 * m.margin, titleHeight));
  control.origin.y = titleLabel_->frame().midY() - control.height() / 2;
  downloadView_->setFrame(control);
  const double descWidth = W - 2 * m.margin;
  descLabel_->setFrame(Rect(m.margin, titleLabel_->frame().maxY() + m.gap, descWidth,
                            descLabel_->heightForWidth(descWidth)));
}

}  // namespace vexa
