// The Unicode emoji tables: five groups of emoji sequences ("people",
// "nature", "object", "places", "symbols"), each in keyboard order.
// Constant data; safe on any thread.
#pragma once

#include <array>
#include <string_view>

namespace vexa {

class QLEmojiTables {
 public:
  struct Group {
    std::string_view name;
    std::string_view emoji;  // UTF-8, the sequences back to back
  };
  static const std::array<Group, 5>& groups();
};

}  // namespace vexa
