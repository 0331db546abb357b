#include "vexa/platform/ui/BatchUpdate.h"

#include <algorithm>

#include "vexa/platform/ui/View.h"

namespace vexa {

namespace {
// Entries of `paths` in `section` before `item`.
int countBefore(const std::set<IndexPath>& paths, int section, int item) {
  auto first = paths.lower_bound(IndexPath{section, 0});
  auto last = paths.lower_bound(IndexPath{section, item});
  return static_cast<int>(std::distance(first, last));
}
}  // namespace

bool BatchUpdate::fits(const std::vector<int>& before, const std::vector<int>& after) const {
  if (before.size() != after.size()) return false;
  auto inRange = [](const std::vector<int>& counts, const IndexPath& p) {
    return p.section >= 0 && static_cast<size_t>(p.section) < counts.size() && p.item >= 0 &&
           p.item < counts[static_cast<size_t>(p.section)];
  };
  std::vector<long long> expected(before.begin(), before.end());
  for (const auto& p : deleted_) {
    if (!inRange(before, p)) return false;
    --expected[static_cast<size_t>(p.section)];
  }
  for (const auto& p : inserted_) {
    if (!inRange(after, p)) return false;
    ++expected[static_cast<size_t>(p.section)];
  }
  return std::equal(expected.begin(), expected.end(), after.begin(), after.end(),
                    [](long long e, int a) { return e == a; });
}

std::optional<IndexPath> BatchUpdate::newIndexPath(const IndexPath& old) const {
  if (deleted_.count(old)) return std::nullopt;
  int item = old.item - countBefore(deleted_, old.section, old.item);
  // Each insertion at or before the item's new place pushes it down one.
  for (auto it = inserted_.lower_bound(IndexPath{old.section, 0});
       it != inserted_.end() && it->section == old.section && it->item <= item; ++it)
    ++item;
  return IndexPath{old.section, item};
}

BatchUpdateRecord BatchUpdate::record(std::optional<AnimationRecord> animation) const {
  return BatchUpdateRecord{std::vector<IndexPath>(deleted_.begin(), deleted_.end()),
                           std::vector<IndexPath>(inserted_.begin(), inserted_.end()), false,
                           animation};
}

ViewAnimation::Completion BatchUpdate::retiring(const std::vector<std::shared_ptr<View>>& views,
                                                ViewAnimation::Completion then) {
  std::vector<std::weak_ptr<View>> weak(views.begin(), views.end());
  return [weak = std::move(weak), then = std::move(then)](bool finished) {
    for (const auto& w : weak)
      if (auto v = w.lock()) v->removeFromSuperview();
    if (then) then(finished);
  };
}

}  // namespace vexa
