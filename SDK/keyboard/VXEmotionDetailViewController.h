// The big-emoji screen a host shows for one emoji code (for example after
// the user tapped a sticker in a chat message): the emoji's picture filling
// the screen above one row with its package and a download control, or a
// failure row ("获取表情包信息失败").
//
// When its view loads, the screen looks the code up among the big emojis
// (the device first, then the service). A package the store holds is shown
// as downloaded without asking the service; any other is described by the
// service ("package/<id>"). The failure row is shown when the lookup fails
// or finds nothing, when the emoji names no package, or when the package
// cannot be described; no request is ever sent for an empty package id.
// The row follows the package's download progress on the main thread.
//
// The emotion centre makes these screens (create()); the host presents
// them. Main thread only. Lookups, requests and downloads go through the
// given download manager and its package store.
#pragma once

#include <memory>
#include <string>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/CallbackList.h"
#include "vexa/platform/ui/TableView.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/store/QLPackage.h"

namespace vexa {

class ImageView;

class VXEmotionDetailViewController : public ViewController {
 public:
  using PackagePtr = std::shared_ptr<QLPackage>;

  // Nothing is fetched before the view loads.
  explicit VXEmotionDetailViewController(std::string emojiCode,
                                         QLDownloadManager& manager = QLDownloadManager::defaultManager());
  ~VXEmotionDetailViewController() override;
  static std::shared_ptr<VXEmotionDetailViewController> create(
      std::string emojiCode, QLDownloadManager& manager = QLDownloadManager::defaultManager()) {
    return std::make_shared<VXEmotionDetailViewController>(std::move(emojiCode), manager);
  }

  // The height of the package row for the main screen's class.
  static double rowHeight();

  const std::string& emojiCode() const { return emojiCode_; }
  // The emoji's package, stored or described by the service; nullptr until known.
  const PackagePtr& package() const { return package_; }
  // nullptr before the view is loaded.
  const std::shared_ptr<ImageView>& imgView() const { return imgView_; }
  const std::shared_ptr<TableView>& tableView() const { return tableView_; }
  // The progress the row shows: 1 for a stored package.
  double progress() const { return progress_; }
  // Set once the emoji or its package could not be had.
  bool requestField() const { return requestField_; }
  bool isDownloading() const { return downloading_; }

  // Follows the package's progress in the row at `path` while it is shown.
  void updateProgressWithPack(const PackagePtr& package, const IndexPath& path);
  // Starts the package's download unless one runs.
  void downloadPackage();

  // Table data source.
  int numberOfRowsInSection(TableView& table, int section) const;
  std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& path);

 protected:
  void viewDidLoad() override;
  void viewDidLayoutSubviews() override;

 private:
  void emojisDidLoad(const Result<QLDownloadManager::VXEmojis>& result);
  void packageDidLoad(const Result<QLResponse>& result);
  void showFailure();

  std::string emojiCode_;
  QLDownloadManager& manager_;
  PackagePtr package_;
  std::shared_ptr<ImageView> imgView_;
  std::shared_ptr<TableView> tableView_;
  std::shared_ptr<TableViewDataSource> tableDataSource_;
  Subscription progressObserver_;
  double progress_ = 0;
  bool requestField_ = false;
  bool downloading_ = false;
};

}  // namespace vexa
