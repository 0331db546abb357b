// The download records: every downloaded package as a shop row (cover,
// name, introduction, "已下载"); a tap on a row opens the package's
// detail. Main thread only. The store is the given download manager's.
#pragma once

#include <memory>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/ui/TableView.h"
#include "vexa/platform/ui/ViewController.h"

namespace vexa {

class QLDownloadCenterViewController : public ViewController {
 public:
  static constexpr double kRowHeight = 100;

  explicit QLDownloadCenterViewController(QLDownloadManager& manager = QLDownloadManager::defaultManager());
  ~QLDownloadCenterViewController() override;

  // nullptr before the view is loaded.
  const std::shared_ptr<TableView>& tableView() const { return tableView_; }
  // Back: pops this screen, or closes the stack it is the root of.
  void backAction();

  // Table data source and delegate.
  int numberOfRowsInSection(TableView& table, int section) const;
  std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& path);
  void didSelectRowAtIndexPath(TableView& table, const IndexPath& path);

 protected:
  void viewDidLoad() override;
  void viewDidLayoutSubviews() override;

 private:
  QLDownloadManager& manager_;
  std::shared_ptr<TableView> tableView_;
  std::shared_ptr<TableViewDataSource> tableDataSource_;
  std::shared_ptr<TableViewDelegate> tableDelegate_;
};

}  // namespace vexa
