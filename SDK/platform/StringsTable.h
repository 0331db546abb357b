// A string table in the ".strings" text format: lines of
//     "key" = "value";
// with /* block */ and // line comments, and the escapes \" \\ \n \t \r \0
// and \Uxxxx (four hexadecimal digits, UTF-16; surrogate pairs join). UTF-8,
// an optional byte-order mark first. Keys may also be bare words of letters,
// digits and "_.-". A later entry for a key replaces an earlier one.
//
// Malformed text is an error naming the line; nothing is half-parsed.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "vexa/platform/Result.h"

namespace vexa {

class StringsTable {
 public:
  static const char* const kErrorDomain;  // "VXStringsTableErrorDomain"; code 1, malformed

  using Entries = std::map<std::string, std::string, std::less<>>;

  static Result<Entries> parse(std::string_view text);
};

}  // namespace vexa
