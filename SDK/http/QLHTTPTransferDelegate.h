// What a transport tells the owner of one transfer. All three functions run
// on the transport's thread; they must be quick and must not block on the
// main thread.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "vexa/http/QLURLResponse.h"
#include "vexa/platform/Error.h"
#include "vexa/platform/Result.h"

namespace vexa {

struct QLHTTPTransferDelegate {
  // The head of the final response (after redirects) has arrived. An error
  // stops the transfer and becomes its outcome.
  std::function<Status(const QLURLResponse& response)> didReceiveResponse;
  // A chunk of the final response's body. An error stops the transfer and
  // becomes its outcome.
  std::function<Status(std::string_view chunk)> didReceiveData;
  // Exactly once, last: the final response's head when one arrived, and the
  // error when the transfer failed.
  std::function<void(std::optional<QLURLResponse> response, std::optional<Error> error)> didComplete;
};

}  // namespace vexa
