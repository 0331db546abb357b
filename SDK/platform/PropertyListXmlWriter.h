// Value -> XML property list, written directly.
//
// The bytes are those libplist's writer produces for the same value (its
// layout is what the store's files have always held): tab indentation,
// only & < > escaped, reals as "%.17g" with "0.0", "nan" and "+/-infinity",
// base64 lines narrowing with depth, strings and keys ending at a NUL.
// Stateless; safe from any thread.
#pragma once

#include <string>

#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class PropertyListXmlWriter {
 public:
  // An error for a value holding null, or nested deeper than
  // PropertyList::kMaxDepth.
  static Result<std::string> write(const Value& value);
  // The same into `out`, replacing what it held and reusing its capacity
  // (a batch of records writes without a large allocation each).
  static Status write(const Value& value, std::string& out);

 private:
  explicit PropertyListXmlWriter(std::string& out) : out_(out) {}
  Status element(const Value& value, int depth);
  void indent(int depth);
  // Writes `s` escaped, up to a NUL; returns the bytes taken.
  size_t text(std::string_view s);
  void real(double d);
  void data(const Bytes& bytes, int depth);

  std::string& out_;
};

}  // namespace vexa
