// Catalogue entries in the form the service sends them: the records' keys,
// with every local image reference turned into a URL under the file host.
//
// URLs are written as they are and not percent-escaped, like the paths they
// came from (a space or CJK character stays); clients escape them before
// use. Immutable; any thread.
#pragma once

#include <string>
#include <string_view>

#include "vexa/platform/Value.h"
#include "service/Catalog.h"

namespace vexa::service {

class WireRecords {
 public:
  // `filesBase` is the file host's base URL and ends in "/".
  explicit WireRecords(std::string filesBase) : filesBase_(std::move(filesBase)) {}

  // The URL of an image reference: local ones under the file host, absolute
  // ones unchanged.
  std::string url(std::string_view reference) const;
  Value emoji(const Catalog::Emoji& emoji) const;
  // The package's keys, with its emojis under "emoticions" when asked for.
  Value package(const Catalog& catalog, const Catalog::Package& package, bool withEmojis) const;
  // A category with its packages (without emojis) under "emoticion_packages";
  // its name goes under `nameKey` ("category_name" or "banner_name").
  Value category(const Catalog& catalog, const Catalog::Category& category,
                 const char* nameKey) const;

 private:
  Value withUrls(const Value& record, std::initializer_list<const char*> keys) const;
  std::string filesBase_;
};

}  // namespace vexa::service
