// The package detail screen: the package's banner, its name and
// introduction with the download control, a preview grid of all its emojis
// (a long press shows one enlarged in a popover) and a footer with the
// copyright line and the way to the service terms.
//
// The list has one section: banner, introduction, preview and, once the
// package has emojis, the footer. A package handed over without its emojis
// (as the shop lists them) gets them from the service when the screen
// loads; a failure shows the failure page, whose retry asks again. The
// screen shows the stored record when the package is stored, and follows
// the progress of one that is not, on the main thread, while the screen
// lives. Opening the screen reports one package view (action 7); each
// preview reports one emoji view (action 10).
//
// A banner row whose package has no banner shows no banner (a recycled
// carousel never keeps another package's). A preview picture that arrives
// after its press has ended or moved to another emoji is not shown.
//
// Main thread only. Requests, downloads and reports go through the given
// download manager and its package store.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/CallbackList.h"
#include "vexa/platform/ui/TableView.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/shop/QLEmojiPreviewPopover.h"
#include "vexa/shop/QLLoadFailedView.h"
#include "vexa/shop/QLScreenHUD.h"
#include "vexa/shop/QL_LoopScrollView.h"
#include "vexa/store/QLPackage.h"

namespace vexa {

class QLEmotionCollectionCell;

class QLDetailViewController : public ViewController {
 public:
  using PackagePtr = std::shared_ptr<QLPackage>;

  enum Row { kBannerRow = 0, kIntroductionRow = 1, kPreviewRow = 2, kFooterRow = 3 };
  static constexpr double kFooterHeight = 50;
  static constexpr double kPreviewSide = 118;

  explicit QLDetailViewController(QLDownloadManager& manager = QLDownloadManager::defaultManager());
  ~QLDetailViewController() override;

  const PackagePtr& package() const { return package_; }
  // The stored record of the package when there is one, else the package.
  void setPackage(const PackagePtr& package);
  // The shop's banners, kept with the screen.
  const std::vector<std::string>& adBanners() const { return adBanners_; }
  void setAdBanners(std::vector<std::string> banners) { adBanners_ = std::move(banners); }

  // nullptr before the view is loaded.
  const std::shared_ptr<TableView>& tableView() const { return tableView_; }
  // The open preview, or nullptr.
  const std::shared_ptr<QLPopoverView>& popover() const { return preview_.popover(); }
  const std::shared_ptr<QLLoadFailedView>& loadFailedView() const { return loadFailedView_; }
  bool isLoading() const { return loading_; }
  bool isDownloading() const { return downloading_; }

  // Asks for the package's emojis when it has none (once at a time).
  void fetchData();
  // The failure page's retry.
  void requestData() { fetchData(); }
  void showLoadFailedView();
  void removeLoadFailedView();
  // Shows the package's progress in the introduction row when it is visible.
  void updateProgressForPackage();
  // Starts the package's download unless one runs.
  void downloadPackage();
  // Back: pops this screen, or closes the stack it is the root of.
  void backAction();
  // Pushes the service terms.
  void serviceAction();
  // The preview grid's handler: shows emoji `index` over `cell`, or hides
  // the preview when `finished`.
  void previewEmotion(int index, QLEmotionCollectionCell* cell, bool finished);

  // Table data source and delegate.
  int numberOfRowsInSection(TableView& table, int section) const;
  std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& path);
  double heightForRowAtIndexPath(TableView& table, const IndexPath& path) const;
  void didSelectRowAtIndexPath(TableView&, const IndexPath&) {}

 protected:
  void viewDidLoad() override;
  void viewDidLayoutSubviews() override;

 private:
  Rect loadFailedFrame();
  View& popoverHost();
  void emojisDidLoad(const Result<QLResponse>& result);
  void observeProgress();
  void showPreviewImage(uint64_t generation, const std::shared_ptr<const Image>& image);

  QLDownloadManager& manager_;
  PackagePtr package_;
  std::vector<std::string> adBanners_;
  // The banner row's pictures: one list object per package, so a reload
  // hands the carousel the list it already shows.
  QL_LoopScrollView::ImageList bannerImages_;
  Subscription progressObserver_;
  std::shared_ptr<TableView> tableView_;
  std::shared_ptr<TableViewDataSource> tableDataSource_;
  std::shared_ptr<TableViewDelegate> tableDelegate_;
  std::shared_ptr<QLLoadFailedViewDataSource> failedDataSource_;
  std::shared_ptr<QLLoadFailedView> loadFailedView_;
  QLEmojiPreviewPopover preview_{kPreviewSide};
  // Counts previews begun and ended; a fetched picture is shown only for
  // the preview that asked for it.
  uint64_t previewGeneration_ = 0;
  QLScreenHUD hud_;
  bool loading_ = false;
  bool downloading_ = false;
};

}  // namespace vexa
