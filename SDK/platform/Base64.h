// Base64 (RFC 4648, with padding) over OpenSSL.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vexa/platform/Value.h"

namespace vexa {

class Base64 {
 public:
  static std::string encode(const Bytes& data);
  static std::string encode(std::string_view data);
  // None when the text is not Base64. White space is ignored.
  static std::optional<Bytes> decode(std::string_view text);
};

}  // namespace vexa
