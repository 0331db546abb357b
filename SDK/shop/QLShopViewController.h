// The shop's first screen: one banner carousel, then one section per shop
// category with its packages (cover, name, introduction, download control).
//
// Loading asks the service for the banner group, then for the categories,
// and shows the list only when both answered; a failure of either shows the
// failure page, whose retry loads again. Section 0 is always the banner
// group (an empty one when the service sends none); section s >= 1 is
// category s. A load, a retry or a package's download already running is
// not started a second time.
//
// Rows follow their packages' progress: each change, on whatever thread it
// is set, is taken to the main thread and shown by the visible rows that
// show that package at that moment (rows are recycled, so no row keeps a
// package of its own). Downloads go on when their row scrolls away or the
// screen closes.
//
// Closing the shop (the back button) dismisses its navigation stack and
// then posts kQLEmotionDismissShopNotification.
//
// Main thread only. Requests, downloads and progress use the given download
// manager and its package store.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/CallbackList.h"
#include "vexa/platform/ui/TableView.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/shop/QLLoadFailedView.h"
#include "vexa/shop/QL_LoopScrollView.h"
#include "vexa/store/QLCategory.h"

namespace vexa {

class BarButtonItem;
class NavigationController;

inline constexpr const char* kQLEmotionDismissShopNotification = "QLEmotionDismissShopNotification";

class QLShopViewController : public ViewController {
 public:
  using PackagePtr = std::shared_ptr<QLPackage>;
  using Categories = std::vector<std::shared_ptr<QLCategory>>;

  explicit QLShopViewController(QLDownloadManager& manager = QLDownloadManager::defaultManager());
  ~QLShopViewController() override;

  // Opens the shop as the keyboard's add button does: in a navigation stack
  // styled from the theme, presented (animated) from the key window's top
  // controller. Returns the stack, or nullptr without a key window.
  static std::shared_ptr<NavigationController> presentShop(
      QLDownloadManager& manager = QLDownloadManager::defaultManager());

  // nullptr before the view is loaded.
  const std::shared_ptr<TableView>& tableView() const { return tableView_; }
  // The banner group, then the categories; empty until a load succeeded.
  const Categories& categories() const { return categories_; }
  // The failure page shown, or nullptr.
  const std::shared_ptr<QLLoadFailedView>& loadFailedView() const { return loadFailedView_; }
  bool isLoading() const { return loading_; }
  // Packages whose download this screen started and that have not finished.
  const std::set<std::string>& downloadingPackages() const { return downloading_; }

  // Loads banners and categories (nothing when a load is running).
  void fetchData();
  // The failure page's retry.
  void requestData() { fetchData(); }
  void showLoadFailedView();
  void removeLoadFailedView();

  // Pushes the package's detail screen (animated); banner pages and
  // package rows call it.
  virtual void showDetailViewControllerWithPackage(const PackagePtr& package);
  // The package the banner page `index` shows, or nullptr.
  PackagePtr bannerPackageAtIndex(int index) const;
  // Starts the package's download unless this screen already runs one.
  void downloadPackage(const PackagePtr& package);

  // Navigation bar actions. settingAction pushes the user's own packages
  // (my emoticons), animated.
  void backAction();
  virtual void settingAction();

  // Table data source and delegate.
  int numberOfSectionsInTableView(TableView& table) const;
  int numberOfRowsInSection(TableView& table, int section) const;
  std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& path);
  double heightForRowAtIndexPath(TableView& table, const IndexPath& path) const;
  double heightForHeaderInSection(TableView& table, int section) const;
  std::shared_ptr<View> viewForHeaderInSection(TableView& table, int section) const;
  void didSelectRowAtIndexPath(TableView& table, const IndexPath& path);

 protected:
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;

 private:
  // A 27-point bar button showing the bundle picture `name` as a template,
  // identified by `name` for tools.
  std::shared_ptr<BarButtonItem> barButton(const std::string& name, const std::string& label,
                                           std::function<void(QLShopViewController&)> action);
  View& hudHost();
  void showHud();
  void hideHud();
  void bannersDidLoad(const Result<QLResponse>& result);
  void categoriesDidLoad(const std::shared_ptr<QLCategory>& bannerGroup,
                         const Result<QLResponse>& result);
  void loadDidFail();
  PackagePtr packageAt(const IndexPath& path) const;
  std::shared_ptr<TableViewCell> bannerCell(TableView& table);
  std::shared_ptr<TableViewCell> packageCell(TableView& table, const IndexPath& path);
  void observeProgress(const PackagePtr& package);
  // Shows the package's current progress in the visible rows that show it.
  void showProgressOfPackage(const PackagePtr& package);

  QLDownloadManager& manager_;
  std::shared_ptr<TableView> tableView_;
  std::shared_ptr<TableViewDataSource> tableDataSource_;
  std::shared_ptr<TableViewDelegate> tableDelegate_;
  std::shared_ptr<QLLoadFailedViewDataSource> failedDataSource_;
  Categories categories_;
  // The banner group's packages that have a banner, and their pictures in
  // the same order: page i shows bannerPackages_[i].
  std::vector<PackagePtr> bannerPackages_;
  QL_LoopScrollView::ImageList bannerImages_;
  std::shared_ptr<QLLoadFailedView> loadFailedView_;
  // One observation per package record; rows of two categories may show
  // two records of one package.
  std::map<const QLPackage*, Subscription> progressObservers_;
  std::set<std::string> downloading_;
  bool loading_ = false;
};

}  // namespace vexa
