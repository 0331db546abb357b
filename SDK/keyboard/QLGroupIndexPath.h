// A position in the emotion keyboard: a group (the recommended group or a
// package) and a page within it, both from 0. A plain value.
#pragma once

#include <compare>
#include <cstdint>
#include <ostream>

namespace vexa {

struct QLGroupIndexPath {
  int64_t group = 0;
  int64_t page = 0;

  auto operator<=>(const QLGroupIndexPath&) const = default;
  bool operator==(const QLGroupIndexPath&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const QLGroupIndexPath& p) {
  return os << "(" << p.group << ", " << p.page << ")";
}

}  // namespace vexa
