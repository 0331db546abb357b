// The pictures compiled into the SDK: PNG files at @2x and @3x and the
// animated GIF "loading", as Base64 text. The data is drawn at build time by
// the resource generator (tools/resgen).
#pragma once

#include <span>
#include <string_view>

namespace vexa {

class QLBuiltinImages {
 public:
  struct Entry {
    std::string_view key;     // "name@2x", "name@3x" or "loading"
    std::string_view base64;  // standard alphabet, no line breaks
  };
  static std::span<const Entry> entries();
};

}  // namespace vexa
