// The query-string form of request parameters, fixed because the service
// verifies signatures against exactly what it receives.
//
// Keys are sorted by plain byte-wise comparison. A dictionary value yields
// pairs named "outer[inner]" (recursively), an array value one pair per
// element named "key[]", a null value the key alone, any other value one
// pair with the value's text (Value::description()). Keys and values are
// percent-escaped as UTF-8; besides what may not stand in a URL,
// ":/?&=;+!@#$()',*" are escaped, and in keys "[", "]" and "." stay.
// Pairs are "key=value" joined with "&". Stateless and thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vexa/platform/Value.h"

namespace vexa {

class QLQueryString {
 public:
  struct Pair {
    std::string key;
    const Value* value;  // points into the parameters given
  };

  // The flattened pairs in wire order, unescaped. `parameters` must outlive
  // the result. A non-dictionary yields one pair under the empty key.
  static std::vector<Pair> pairs(const Value& parameters);
  // The whole query string; empty for null or empty parameters.
  static std::string fromParameters(const Value& parameters);

  static std::string escapeKey(std::string_view key);
  static std::string escapeValue(std::string_view value);
};

}  // namespace vexa
