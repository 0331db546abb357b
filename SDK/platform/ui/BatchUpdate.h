// One batch update of a sectioned list (table or collection view): the
// index paths deleted, as they were before the update, and those inserted,
// as they are after it.
//
// A list applies a batch only when the counts its data source reports
// afterwards follow from the counts before: the same number of sections,
// every deleted path present before, every inserted path present after, and
// each section's count changed by its insertions less its deletions. When
// they do not (the data changed in another way, or a reload came in the
// middle of the batch and brought a different list), the list reloads
// instead, so it always ends consistent with its data source. Values; main
// thread only, like the lists.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "vexa/platform/ui/IndexPath.h"
#include "vexa/platform/ui/ViewAnimation.h"

namespace vexa {

class View;

// What a list did with its last batch, for hosts and tests.
struct BatchUpdateRecord {
  std::vector<IndexPath> deleted;   // before the update
  std::vector<IndexPath> inserted;  // after the update
  // The counts did not add up: the list reloaded instead of animating.
  bool reloaded = false;
  // The animation the changed views ran under; none when not animated.
  std::optional<AnimationRecord> animation;
  bool operator==(const BatchUpdateRecord&) const = default;
};

class BatchUpdate {
 public:
  static constexpr double kDuration = 0.3;

  void deleteItems(const std::vector<IndexPath>& paths) { deleted_.insert(paths.begin(), paths.end()); }
  void insertItems(const std::vector<IndexPath>& paths) { inserted_.insert(paths.begin(), paths.end()); }
  bool isEmpty() const { return deleted_.empty() && inserted_.empty(); }
  const std::set<IndexPath>& deleted() const { return deleted_; }
  const std::set<IndexPath>& inserted() const { return inserted_; }

  // Whether `after` (items per section) follows from `before`.
  bool fits(const std::vector<int>& before, const std::vector<int>& after) const;
  // Where an item is after the update; none for a deleted one.
  std::optional<IndexPath> newIndexPath(const IndexPath& old) const;

  BatchUpdateRecord record(std::optional<AnimationRecord> animation) const;

  // The completion of a batch's animation: takes the views that lost their
  // item (left in their end state, faded or slid away, until then) out of
  // their superview, then calls `then`.
  static ViewAnimation::Completion retiring(const std::vector<std::shared_ptr<View>>& views,
                                            ViewAnimation::Completion then);

 private:
  std::set<IndexPath> deleted_;
  std::set<IndexPath> inserted_;
};

}  // namespace vexa
