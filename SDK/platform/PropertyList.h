// Property lists <-> Value.
//
// Reading accepts XML and binary property lists: XML in the usual forms is
// read directly (PropertyListXmlReader), anything else through libplist
// (LibplistCodec). Writing produces XML directly, byte for byte what
// libplist writes (the store's files stay readable and diffable). Dates
// read as reals (seconds since 2001-01-01), UIDs as integers. Malformed
// input is an Error, never a crash; stored files are replaced atomically.
// Stateless; safe from any thread.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class PropertyList {
 public:
  static const char* const kErrorDomain;  // "VXPropertyListErrorDomain"
  enum Code : int64_t { kMalformed = 1, kTooLarge = 2, kUnsupported = 3 };

  // Property-list files larger than this are refused unread.
  static constexpr size_t kMaxBytes = 64u << 20;
  // Values nested deeper than this are refused, read or written.
  static constexpr int kMaxDepth = 512;

  static Result<Value> parse(std::string_view bytes);
  static Result<std::string> toXml(const Value& value);
  // The same into `out`, reusing its capacity: for writing many lists.
  static Status toXml(const Value& value, std::string& out);
  static Result<Value> readFile(const std::filesystem::path& path);
  // Writes `value` as an XML property list through a temporary file and a
  // rename, so that the file is always either the old or the new version.
  static Status writeFile(const std::filesystem::path& path, const Value& value,
                          unsigned mode = 0644);
};

}  // namespace vexa
