// The service's answer to a lookup by code, read as the lookup needs it:
// the envelope's error, if any, and the emojis for the codes asked, in the
// answer's order. Elements that are not objects, that give no non-empty
// guid (null or missing for codes the service does not know; empty, or not
// a string or number), or whose code was not asked are dropped, and a code
// answered twice keeps its first emoji. Stateless; safe on any thread.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/platform/Error.h"
#include "vexa/platform/Value.h"
#include "vexa/store/QLEmoji.h"

namespace vexa {

struct QLLookupAnswer {
  std::optional<Error> error;
  std::vector<std::shared_ptr<QLEmoji>> emojis;

  // `asked` are the codes of the request.
  static QLLookupAnswer parse(const Value& json, const std::vector<std::string>& asked);
};

}  // namespace vexa
