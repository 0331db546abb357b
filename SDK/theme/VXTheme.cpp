#include "vexa/theme/VXTheme.h"

#include "vexa/theme/QLEmotionColor.h"

namespace vexa {
namespace {

// The defaults are constants of the source; a typo would show as black.
Color hex(const char* text) { return QLEmotionColor::ql_colorWithHexColorString(text).value_or(Color::black()); }

}  // namespace

VXTheme::VXTheme() {
  sendBtnBgColor_ = hex("#fcfcfc");
  sendBtnTitleColor_ = hex("#45cebc");
  navigationBarColor_ = hex("#2e2e2e");
  navigationBarTintColor_ = Color::whiteColor();
  separateColor_ = hex("#dedede");
  shopCategoryColor_ = hex("#515151");
  shopPackageTitleColor_ = hex("#1e1e1e");
  shopPackageSubTitleColor_ = hex("#989898");
  detailPackageTitleColor_ = hex("#303030");
  detailPackageDescColor_ = hex("#6f6f6f");
  detailPackagePreviewColor_ = hex("#bebebe");
  downloadedTilteColor_ = hex("#bebebe");
  downloadTitleColor_ = hex("#36cab6");
  artCentreTitleColor_ = hex("#303030");
  artistTitleColor_ = hex("#808080");
  copyrightColor_ = hex("#a3a3a3");
  promptLabelColor_ = hex("#d3d3d3");
  retryBtnColor_ = hex("#36cab6");
  remindLabelColor_ = hex("#a3a3a3");
  loadFailedLabelColor_ = hex("#8c8c8c");
  reloadBtnColor_ = hex("#36cab6");
  navigationTitleFont_ = fontwithFontPxs({54, 38, 30});
  shopCategoryFont_ = fontwithFontPxs({46, 32, 28});
  shopPackageTitleFont_ = fontwithFontPxs({48, 34, 30});
  shopPackageSubTitleFont_ = fontwithFontPxs({40, 28, 24});
  detailPackageTitleFont_ = fontwithFontPxs({52, 36, 30});
  detailPackageDescFont_ = fontwithFontPxs({42, 30, 24});
  detailPackagePreviewFont_ = fontwithFontPxs({42, 30, 24});
  loadFailedLabelFont_ = fontwithFontPxs({52, 36, 30});
  downloadTitleFont_ = fontwithFontPxs({40, 28, 24});
  artCentreTitleFont_ = fontwithFontPxs({42, 30, 26});
  artistTitleFont_ = fontwithFontPxs({40, 28, 24});
  copyrightFont_ = fontwithFontPxs({40, 28, 24});
  promptLabelFont_ = fontwithFontPxs({40, 28, 24});
  retryBtnFont_ = fontwithFontPxs({40, 28, 24});
  remindLabelFont_ = fontwithFontPxs({52, 36, 30});
  reloadBtnFont_ = fontwithFontPxs({52, 36, 30});
}

Font VXTheme::fontwithFontPxs(const std::array<double, 3>& pxs, const Screen& screen) {
  double longSide = screen.longSide();
  if (screen.isPhone()) {
    if (longSide == 736) return Font::systemFont(pxs[0] / 2.6);
    if (longSide == 667) return Font::systemFont(pxs[1] * 0.5);
    if (longSide <= 568) return Font::systemFont(pxs[2] * 0.5);
  }
  return Font::systemFont(pxs[0] / 2.6);
}

}  // namespace vexa
