// The look of the SDK's screens: every colour and font a host may restyle.
//
// A theme is made with the default look; the host changes any subset of its
// fields and hands it to the emotion centre (setTheme). Fonts are the system
// font sized for the main screen when the theme is made (fontwithFontPxs).
// A plain value holder; main thread only once handed over.
#pragma once

#include <array>

#include "vexa/platform/Color.h"
#include "vexa/platform/Font.h"
#include "vexa/platform/Screen.h"

namespace vexa {

class VXTheme {
 public:
  // The default look, fonts sized for Screen::main().
  VXTheme();

  // The system font for a triple of pixel sizes (a, b, c): a / 2.6 points on
  // a phone whose longer side is 736 points, b / 2 on one of 667, c / 2 on one
  // of 568 or less, and a / 2.6 on every other device.
  static Font fontwithFontPxs(const std::array<double, 3>& pxs, const Screen& screen = Screen::main());

  const Color& sendBtnBgColor() const { return sendBtnBgColor_; }
  void setSendBtnBgColor(const Color& v) { sendBtnBgColor_ = v; }
  const Color& sendBtnTitleColor() const { return sendBtnTitleColor_; }
  void setSendBtnTitleColor(const Color& v) { sendBtnTitleColor_ = v; }
  const Color& navigationBarColor() const { return navigationBarColor_; }
  void setNavigationBarColor(const Color& v) { navigationBarColor_ = v; }
  const Color& navigationBarTintColor() const { return navigationBarTintColor_; }
  void setNavigationBarTintColor(const Color& v) { navigationBarTintColor_ = v; }
  const Color& separateColor() const { return separateColor_; }
  void setSeparateColor(const Color& v) { separateColor_ = v; }
  const Color& shopCategoryColor() const { return shopCategoryColor_; }
  void setShopCategoryColor(const Color& v) { shopCategoryColor_ = v; }
  const Color& shopPackageTitleColor() const { return shopPackageTitleColor_; }
  void setShopPackageTitleColor(const Color& v) { shopPackageTitleColor_ = v; }
  const Color& shopPackageSubTitleColor() const { return shopPackageSubTitleColor_; }
  void setShopPackageSubTitleColor(const Color& v) { shopPackageSubTitleColor_ = v; }
  const Color& detailPackageTitleColor() const { return detailPackageTitleColor_; }
  void setDetailPackageTitleColor(const Color& v) { detailPackageTitleColor_ = v; }
  const Color& detailPackageDescColor() const { return detailPackageDescColor_; }
  void setDetailPackageDescColor(const Color& v) { detailPackageDescColor_ = v; }
  const Color& detailPackagePreviewColor() const { return detailPackagePreviewColor_; }
  void setDetailPackagePreviewColor(const Color& v) { detailPackagePreviewColor_ = v; }
  const Color& downloadedTilteColor() const { return downloadedTilteColor_; }
  void setDownloadedTilteColor(const Color& v) { downloadedTilteColor_ = v; }
  const Color& downloadTitleColor() const { return downloadTitleColor_; }
  void setDownloadTitleColor(const Color& v) { downloadTitleColor_ = v; }
  const Color& artCentreTitleColor() const { return artCentreTitleColor_; }
  void setArtCentreTitleColor(const Color& v) { artCentreTitleColor_ = v; }
  const Color& artistTitleColor() const { return artistTitleColor_; }
  void setArtistTitleColor(const Color& v) { artistTitleColor_ = v; }
  const Color& copyrightColor() const { return copyrightColor_; }
  void setCopyrightColor(const Color& v) { copyrightColor_ = v; }
  const Color& promptLabelColor() const { return promptLabelColor_; }
  void setPromptLabelColor(const Color& v) { promptLabelColor_ = v; }
  const Color& retryBtnColor() const { return retryBtnColor_; }
  void setRetryBtnColor(const Color& v) { retryBtnColor_ = v; }
  const Color& remindLabelColor() const { return remindLabelColor_; }
  void setRemindLabelColor(const Color& v) { remindLabelColor_ = v; }
  const Color& loadFailedLabelColor() const { return loadFailedLabelColor_; }
  void setLoadFailedLabelColor(const Color& v) { loadFailedLabelColor_ = v; }
  const Color& reloadBtnColor() const { return reloadBtnColor_; }
  void setReloadBtnColor(const Color& v) { reloadBtnColor_ = v; }
  const Font& navigationTitleFont() const { return navigationTitleFont_; }
  void setNavigationTitleFont(const Font& v) { navigationTitleFont_ = v; }
  const Font& shopCategoryFont() const { return shopCategoryFont_; }
  void setShopCategoryFont(const Font& v) { shopCategoryFont_ = v; }
  const Font& shopPackageTitleFont() const { return shopPackageTitleFont_; }
  void setShopPackageTitleFont(const Font& v) { shopPackageTitleFont_ = v; }
  const Font& shopPackageSubTitleFont() const { return shopPackageSubTitleFont_; }
  void setShopPackageSubTitleFont(const Font& v) { shopPackageSubTitleFont_ = v; }
  const Font& detailPackageTitleFont() const { return detailPackageTitleFont_; }
  void setDetailPackageTitleFont(const Font& v) { detailPackageTitleFont_ = v; }
  const Font& detailPackageDescFont() const { return detailPackageDescFont_; }
  void setDetailPackageDescFont(const Font& v) { detailPackageDescFont_ = v; }
  const Font& detailPackagePreviewFont() const { return detailPackagePreviewFont_; }
  void setDetailPackagePreviewFont(const Font& v) { detailPackagePreviewFont_ = v; }
  const Font& loadFailedLabelFont() const { return loadFailedLabelFont_; }
  void setLoadFailedLabelFont(const Font& v) { loadFailedLabelFont_ = v; }
  const Font& downloadTitleFont() const { return downloadTitleFont_; }
  void setDownloadTitleFont(const Font& v) { downloadTitleFont_ = v; }
  const Font& artCentreTitleFont() const { return artCentreTitleFont_; }
  void setArtCentreTitleFont(const Font& v) { artCentreTitleFont_ = v; }
  const Font& artistTitleFont() const { return artistTitleFont_; }
  void setArtistTitleFont(const Font& v) { artistTitleFont_ = v; }
  const Font& copyrightFont() const { return copyrightFont_; }
  void setCopyrightFont(const Font& v) { copyrightFont_ = v; }
  const Font& promptLabelFont() const { return promptLabelFont_; }
  void setPromptLabelFont(const Font& v) { promptLabelFont_ = v; }
  const Font& retryBtnFont() const { return retryBtnFont_; }
  void setRetryBtnFont(const Font& v) { retryBtnFont_ = v; }
  const Font& remindLabelFont() const { return remindLabelFont_; }
  void setRemindLabelFont(const Font& v) { remindLabelFont_ = v; }
  const Font& reloadBtnFont() const { return reloadBtnFont_; }
  void setReloadBtnFont(const Font& v) { reloadBtnFont_ = v; }

 private:
  Color sendBtnBgColor_;
  Color sendBtnTitleColor_;
  Color navigationBarColor_;
  Color navigationBarTintColor_;
  Color separateColor_;
  Color shopCategoryColor_;
  Color shopPackageTitleColor_;
  Color shopPackageSubTitleColor_;
  Color detailPackageTitleColor_;
  Color detailPackageDescColor_;
  Color detailPackagePreviewColor_;
  Color downloadedTilteColor_;
  Color downloadTitleColor_;
  Color artCentreTitleColor_;
  Color artistTitleColor_;
  Color copyrightColor_;
  Color promptLabelColor_;
  Color retryBtnColor_;
  Color remindLabelColor_;
  Color loadFailedLabelColor_;
  Color reloadBtnColor_;
  Font navigationTitleFont_;
  Font shopCategoryFont_;
  Font shopPackageTitleFont_;
  Font shopPackageSubTitleFont_;
  Font detailPackageTitleFont_;
  Font detailPackageDescFont_;
  Font detailPackagePreviewFont_;
  Font loadFailedLabelFont_;
  Font downloadTitleFont_;
  Font artCentreTitleFont_;
  Font artistTitleFont_;
  Font copyrightFont_;
  Font promptLabelFont_;
  Font retryBtnFont_;
  Font remindLabelFont_;
  Font reloadBtnFont_;
};

}  // namespace vexa
