// Favourites: a grid of the user's favourite pictures, three to a line,
// with an "add" item at the end. "编辑" switches to editing: the pictures
// grey out, taps pick and unpick them, the title counts the picks
// ("删除 ( 3 )"), and the delete button removes the picked pictures in one
// batch and leaves editing.
//
// The pictures start as twenty placeholders (the built-in "shop" picture);
// where favourites come from is the host's matter. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "vexa/platform/Image.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/ViewController.h"

namespace vexa {

class QLCollectionGridLayout;

class QLCollectViewController : public ViewController {
 public:
  using ImagePtr = std::shared_ptr<const Image>;

  static constexpr int kItemsPerLine = 3;
  static constexpr int kPlaceholderCount = 20;

  QLCollectViewController();
  ~QLCollectViewController() override;

  // The title for `count` picked pictures: "删除 ( %@ )" with the count in
  // decimal digits.
  static std::string deleteTitleForCount(size_t count);

  // nullptr before the view is loaded.
  const std::shared_ptr<CollectionView>& collectionView() const { return collectionView_; }
  const std::vector<ImagePtr>& dataSource() const { return dataSource_; }
  void setDataSource(std::vector<ImagePtr> images);
  const std::set<int>& selectedIndexs() const { return selectedIndexs_; }

  bool isEditing() const { return editing_; }
  void setEditing(bool editing);
  // The bar button: deletes the picks when editing, then switches editing.
  void editAction();
  // Back: pops this screen, or closes the stack it is the root of.
  void backAction();

  // Collection data source and delegate.
  int numberOfItemsInSection(CollectionView& view, int section) const;
  std::shared_ptr<CollectionViewCell> cellForItemAtIndexPath(CollectionView& view, const IndexPath& path);
  void didSelectItemAtIndexPath(CollectionView& view, const IndexPath& path);

 protected:
  void viewDidLoad() override;
  void viewDidLayoutSubviews() override;

 private:
  void updateTitle();

  std::vector<ImagePtr> dataSource_;
  std::set<int> selectedIndexs_;
  bool editing_ = false;
  // What the right bar button shows; none before the view loads.
  std::optional<bool> editItemShowsDelete_;
  std::shared_ptr<QLCollectionGridLayout> layout_;
  std::shared_ptr<CollectionView> collectionView_;
  std::shared_ptr<CollectionViewDataSource> collectionDataSource_;
  std::shared_ptr<CollectionViewDelegate> collectionDelegate_;
};

}  // namespace vexa
