// Decodes the query string of a request into parameters.
//
// Pairs are separated by "&" and split at the first "="; keys and values
// are percent-decoded ("+" stays a plus sign, so values escaped or not both
// arrive intact) and must then be UTF-8. "key[]=v" collects v into an array
// under key, "key[sub]=v" into a dictionary; a key without "=" stands for
// null. A repeated plain key, a key used both ways, or any other bracket
// form is refused, since the signature could not tell which value counts.
// Stateless; any thread.
#pragma once

#include <string_view>

#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa::service {

class QueryString {
 public:
  static const char* const kErrorDomain;  // "VXQueryStringErrorDomain"
  static constexpr size_t kMaxPairs = 256;

  static Result<Value::Dictionary> parse(std::string_view query);
};

}  // namespace vexa::service
