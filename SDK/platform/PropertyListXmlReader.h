// XML property list -> Value, read directly (one pass, no node tree).
//
// Knows the forms property lists are written in: the usual XML declaration
// and document type, comments and white space between elements, every element type including the empty forms (<true/>,
// <dict/>, <string/>, <data/>), the five named entities and numeric
// character references, base64 with white space. Where it answers, the
// answer equals LibplistCodec's for the same bytes; anything else it leaves
// to that general path (binary lists, CDATA, processing instructions,
// attributes, leniencies such as octal integers or missing end tags).
// Stateless; safe from any thread.
#pragma once

#include <optional>
#include <string_view>

#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class PropertyListXmlReader {
 public:
  // The value; an Error for a list nested deeper than
  // PropertyList::kMaxDepth; nullopt for input to read the general way.
  static std::optional<Result<Value>> read(std::string_view bytes);
};

}  // namespace vexa
