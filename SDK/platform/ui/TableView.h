// A table view: a vertical scroll view of rows in sections, with optional
// section headers and footers and a table header view. Row heights come
// from the delegate or rowHeight. Only visible rows have cells; the others
// are recycled by reuse identifier. Changing rows re-reads the data source
// (the list always ends consistent with it). Main thread only.
//
// In the plain style the header of the section at the top stays pinned to
// the top of the visible area (below the content inset) while its rows
// scroll under it, until the end of its section pushes it up; headers are
// drawn above the rows and a tap on one selects nothing. Footers and the
// grouped style's headers scroll with their rows.
//
// Row changes are batch updates (see BatchUpdate): between beginUpdates()
// and endUpdates() deletions and insertions are collected and a reload is
// held back; at the end the data source is read again and, when its counts
// follow from the batch, the rows move to their new places under one
// animation (0.3 s) that the moved views record, deleted rows fade or slide
// out and leave when the animation completes on the main queue. Otherwise
// the table reloads. Either way each row is shown once, as the data source
// has it. A change outside beginUpdates()/endUpdates() is a batch of its own.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "vexa/platform/ui/BatchUpdate.h"
#include "vexa/platform/ui/IndexPath.h"
#include "vexa/platform/ui/ScrollView.h"
#include "vexa/platform/ui/TableViewCell.h"

namespace vexa {

class TableView;

struct TableViewDataSource {
  virtual ~TableViewDataSource() = default;
  std::function<int(TableView&)> numberOfSectionsInTableView;  // 1 when absent
  std::function<int(TableView&, int section)> numberOfRowsInSection;
  std::function<std::shared_ptr<TableViewCell>(TableView&, const IndexPath&)> cellForRowAtIndexPath;
};

struct TableViewDelegate : ScrollViewDelegate {
  std::function<double(TableView&, const IndexPath&)> heightForRowAtIndexPath;
  std::function<double(TableView&, int section)> heightForHeaderInSection;
  std::function<std::shared_ptr<View>(TableView&, int section)> viewForHeaderInSection;
  std::function<double(TableView&, int section)> heightForFooterInSection;
  std::function<std::shared_ptr<View>(TableView&, int section)> viewForFooterInSection;
  std::function<void(TableView&, const IndexPath&)> didSelectRowAtIndexPath;
  std::function<void(TableView&, TableViewCell&, const IndexPath&)> willDisplayCell;
};

enum class TableViewScrollPosition { None, Top, Middle, Bottom };
enum class TableViewStyle { Plain, Grouped };
// How rows leave or arrive. Fade, Top, Bottom, Middle and Automatic fade;
// Left and Right slide out of the table's width; None changes at once.
enum class TableViewRowAnimation { Fade, Right, Left, Top, Bottom, None, Middle, Automatic };

class TableView : public ScrollView {
 public:
  using CellFactory = std::function<std::shared_ptr<TableViewCell>()>;

  explicit TableView(Rect frame = {}, TableViewStyle style = TableViewStyle::Plain);
  static std::shared_ptr<TableView> create(Rect frame = {},
                                           TableViewStyle style = TableViewStyle::Plain) {
    return std::make_shared<TableView>(frame, style);
  }

  TableViewStyle style() const { return style_; }

  void setDataSource(std::weak_ptr<TableViewDataSource> dataSource);
  std::shared_ptr<TableViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDelegate(std::weak_ptr<TableViewDelegate> delegate);
  std::shared_ptr<TableViewDelegate> delegate() const { return delegate_.lock(); }

  double rowHeight() const { return rowHeight_; }
  void setRowHeight(double h) { rowHeight_ = h; reloadData(); }
  double sectionHeaderHeight() const { return headerHeight_; }
  void setSectionHeaderHeight(double h) { headerHeight_ = h; reloadData(); }
  double sectionFooterHeight() const { return footerHeight_; }
  void setSectionFooterHeight(double h) { footerHeight_ = h; reloadData(); }
  const std::shared_ptr<View>& tableHeaderView() const { return tableHeaderView_; }
  void setTableHeaderView(std::shared_ptr<View> view);
  std::optional<Color> separatorColor() const { return separatorColor_; }
  void setSeparatorColor(std::optional<Color> color) { separatorColor_ = color; }

  void registerCell(const std::string& identifier, CellFactory factory);
  template <typename T>
  void registerClass(const std::string& identifier) {
    registerCell(identifier, [] { return std::make_shared<T>(); });
  }
  // A recycled cell, a new one from a registered factory, or nullptr.
  std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);

  // Inside an update the reload waits for endUpdates().
  void reloadData();
  void beginUpdates();
  void endUpdates();
  void insertRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation);
  void deleteRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation);
  void reloadRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation);
  // What the last batch did.
  const std::optional<BatchUpdateRecord>& lastUpdate() const { return lastUpdate_; }

  int numberOfSections();
  int numberOfRowsInSection(int section);
  Rect rectForRowAtIndexPath(const IndexPath& path);
  // Where the header lies in the content, not pinned.
  Rect rectForHeaderInSection(int section);
  std::optional<IndexPath> indexPathForRowAtPoint(Point point);
  std::shared_ptr<TableViewCell> cellForRowAtIndexPath(const IndexPath& path) const;
  std::vector<std::shared_ptr<TableViewCell>> visibleCells() const;
  std::vector<IndexPath> indexPathsForVisibleRows() const;
  std::shared_ptr<View> headerViewForSection(int section) const;
  void scrollToRowAtIndexPath(const IndexPath& path, TableViewScrollPosition position, bool animated);

  std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
  void selectRowAtIndexPath(const std::optional<IndexPath>& path, bool animated);
  void deselectRowAtIndexPath(const IndexPath& path, bool animated);

  void layoutSubviews() override;

 protected:
  void didChangeBounds(const Rect& oldBounds) override;
  void didTapAt(Point point) override;

 private:
  struct SectionGeometry {
    double top = 0;            // header start
    double headerHeight = 0;
    std::vector<double> rowTops;
    std::vector<double> rowHeights;
    double footerTop = 0;
    double footerHeight = 0;
  };
  void computeGeometry();
  // The header's frame as shown: pinned in the plain style.
  Rect shownHeaderFrame(const SectionGeometry& g, const Rect& visible) const;
  void updateVisibleViews();
  void recycle(const std::shared_ptr<TableViewCell>& cell);
  std::vector<int> rowCounts();
  void applyUpdate(const BatchUpdate& update, bool reloadRows);
  void changeRows(const std::vector<IndexPath>& paths, TableViewRowAnimation animation, bool insert);

  TableViewStyle style_;
  std::weak_ptr<TableViewDataSource> dataSource_;
  std::weak_ptr<TableViewDelegate> delegate_;
  double rowHeight_ = 44;
  double headerHeight_ = 0;
  double footerHeight_ = 0;
  std::optional<Color> separatorColor_;
  std::shared_ptr<View> tableHeaderView_;
  std::unordered_map<std::string, CellFactory> factories_;
  std::unordered_map<std::string, std::vector<std::shared_ptr<TableViewCell>>> pool_;
  std::map<IndexPath, std::shared_ptr<TableViewCell>> visibleCells_;
  std::map<std::pair<int, bool>, std::shared_ptr<View>> visibleHeaders_;  // (section, isFooter)
  std::optional<std::vector<SectionGeometry>> geometry_;
  std::optional<IndexPath> selected_;
  // The batch being collected.
  int updateDepth_ = 0;
  BatchUpdate update_;
  TableViewRowAnimation rowAnimation_ = TableViewRowAnimation::None;
  bool reloadHeld_ = false;
  std::vector<int> countsBefore_;
  std::optional<BatchUpdateRecord> lastUpdate_;
};

}  // namespace vexa
