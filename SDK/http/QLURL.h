// An absolute URL, parsed and resolved by libcurl's URL parser.
//
// Used wherever the HTTP layer must understand a URL rather than pass it on:
// resolving relative paths against a base URL, comparing origins when a
// redirect arrives, appending or removing query items. Text that does not
// parse as an absolute URL (spaces, no scheme, a bad port) is refused with an
// error in kQLHTTPRequestErrorDomain. Values are independent copies and may
// be used from any thread, one thread per value at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "vexa/platform/Result.h"

namespace vexa {

class QLURL {
 public:
  static Result<QLURL> parse(std::string_view text);

  QLURL(const QLURL& other);
  QLURL& operator=(const QLURL& other);
  QLURL(QLURL&&) noexcept;
  QLURL& operator=(QLURL&&) noexcept;
  ~QLURL();

  // The URL reached by following `relative` from this one, as a browser
  // would (RFC 3986): "a/b" replaces the last path segment, "/a" the path.
  Result<QLURL> resolve(std::string_view relative) const;

  // The absolute URL text.
  std::string string() const;
  std::string scheme() const;  // lower case
  std::string host() const;
  int port() const;  // the scheme's default when none is written
  std::string path() const;  // still escaped; "/" at least
  std::optional<std::string> query() const;  // still escaped, without "?"

  // Same scheme, host and port.
  bool sameOrigin(const QLURL& other) const;

  // This URL with `query` added after "?", or after "&" when it already has a
  // query. An empty `query` changes nothing.
  QLURL appendingQuery(std::string_view query) const;
  // This URL without the query items whose (unescaped) names are listed.
  QLURL removingQueryItems(const std::set<std::string>& names) const;
  // This URL with a "/" appended when its path does not end in one, so that
  // relative paths resolve under its last segment instead of replacing it.
  QLURL withTrailingSlash() const;

 private:
  struct Handle;
  explicit QLURL(std::unique_ptr<Handle> handle);
  std::unique_ptr<Handle> handle_;
};

}  // namespace vexa
