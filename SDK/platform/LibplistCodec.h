// Property lists <-> Value through libplist's nodes.
//
// The general path: it reads binary lists and every XML form the direct
// reader leaves to it, and it is the reference the direct reader and writer
// are checked against. Stateless; safe from any thread.
#pragma once

#include <string>
#include <string_view>

#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class LibplistCodec {
 public:
  // XML or binary, within PropertyList's size limit (checked by the caller).
  static Result<Value> parse(std::string_view bytes);
  static Result<std::string> toXml(const Value& value);
};

}  // namespace vexa
