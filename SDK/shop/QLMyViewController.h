// My emoticons: the packages the user downloaded, newest first, each with
// its cover, its name and a "移除" button; a tap on a row opens the
// package's detail.
//
// "移除" removes the package from the store; only when the store did
// remove it does the row go (faded out) and is the removal reported
// (action 9). The list follows the store: every package stored or removed
// anywhere in the SDK, on any thread, makes the screen read the list again
// once, on the main thread after the change that caused it (a removal's
// row deletion included), so the list always ends as the store has it.
//
// Main thread only. The store and the reports are the given download
// manager's.
#pragma once

#include <atomic>
#include <memory>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/CallbackList.h"
#include "vexa/platform/ui/TableView.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/store/QLPackage.h"

namespace vexa {

class QLDownloadedTableCell;
struct Notification;

class QLMyViewController : public ViewController {
 public:
  using PackagePtr = std::shared_ptr<QLPackage>;

  static constexpr double kRowHeight = 55;
  static constexpr double kHeaderHeight = 52;

  explicit QLMyViewController(QLDownloadManager& manager = QLDownloadManager::defaultManager());
  ~QLMyViewController() override;

  // nullptr before the view is loaded.
  const std::shared_ptr<TableView>& tableView() const { return tableView_; }
  // The package last opened from the list.
  const PackagePtr& package() const { return package_; }

  // A package was stored or removed: reads the list again on the main
  // queue's next turn (once for changes that arrive together).
  void dataChanged(const Notification& notification);
  // Removes the package of the row showing `cell`; nothing for a cell that
  // shows no row.
  void removePackageOfCell(QLDownloadedTableCell& cell, const PackagePtr& package);
  // Back: pops this screen, or closes the stack it is the root of.
  void backAction();

  // Table data source and delegate.
  int numberOfSectionsInTableView(TableView& table) const { (void)table; return 1; }
  int numberOfRowsInSection(TableView& table, int section) const;
  std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& path);
  std::shared_ptr<View> viewForHeaderInSection(TableView& table, int section) const;
  double heightForHeaderInSection(TableView& table, int section) const;
  void didSelectRowAtIndexPath(TableView& table, const IndexPath& path);

 protected:
  void viewDidLoad() override;
  void viewDidLayoutSubviews() override;

 private:
  const QLPackageCache::Packages& packages() const;

  QLDownloadManager& manager_;
  PackagePtr package_;
  std::shared_ptr<TableView> tableView_;
  std::shared_ptr<TableViewDataSource> tableDataSource_;
  std::shared_ptr<TableViewDelegate> tableDelegate_;
  // Set from any thread when a re-read is queued, cleared by the re-read.
  std::shared_ptr<std::atomic<bool>> reloadQueued_ = std::make_shared<std::atomic<bool>>(false);
  // Last, so they end first: a notification delivered on another thread
  // while the screen goes finds everything it uses still there.
  Subscription added_;
  Subscription removed_;
};

}  // namespace vexa
