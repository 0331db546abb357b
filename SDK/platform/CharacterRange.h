// A range of characters of a text: a location and a length, both counted in
// the characters of the text model (see AttributedString).
#pragma once

#include <cstddef>
#include <ostream>

namespace vexa {

struct CharacterRange {
  size_t location = 0;
  size_t length = 0;

  size_t end() const { return location + length; }
  bool empty() const { return length == 0; }
  bool operator==(const CharacterRange&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const CharacterRange& r) {
  return os << "{" << r.location << ", " << r.length << "}";
}

}  // namespace vexa
