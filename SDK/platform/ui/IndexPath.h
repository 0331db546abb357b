// A position in a sectioned list: (section, item). Table views call the item
// a row. Ordered section first, then item; hashable for layout dictionaries.
#pragma once

#include <compare>
#include <cstddef>
#include <functional>
#include <ostream>

namespace vexa {

struct IndexPath {
  int section = 0;
  int item = 0;

  static IndexPath forItem(int item, int section) { return {section, item}; }
  static IndexPath forRow(int row, int section) { return {section, row}; }
  int row() const { return item; }

  auto operator<=>(const IndexPath&) const = default;
  bool operator==(const IndexPath&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const IndexPath& p) {
  return os << "[" << p.section << ", " << p.item << "]";
}

}  // namespace vexa

template <>
struct std::hash<vexa::IndexPath> {
  size_t operator()(const vexa::IndexPath& p) const noexcept {
    return std::hash<long long>()((static_cast<long long>(p.section) << 32) ^
                                  static_cast<unsigned>(p.item));
  }
};
