// JSON text <-> Value.
//
// Parsing accepts any JSON document (objects, arrays or scalars at the top),
// checks that the text is UTF-8 and reports malformed input as an Error; it
// never throws. Integers that fit int64 stay integers, larger ones become
// reals. Serializing writes compact UTF-8 JSON; data values are written as
// Base64 strings since JSON has no bytes.
#pragma once

#include <string>
#include <string_view>

#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class JsonCodec {
 public:
  // Error domain of JSON parse failures.
  static const char* const kErrorDomain;
  enum Code : int64_t { kMalformed = 1, kNotUtf8 = 2, kTooDeep = 3 };

  // Nesting deeper than this is refused instead of recursing without bound.
  static constexpr int kMaxDepth = 256;

  static Result<Value> parse(std::string_view text);
  static std::string serialize(const Value& value);
};

}  // namespace vexa
