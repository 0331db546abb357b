// Fetches one image body and waits for it: the image reads of the code
// lookup, which run one after another on a background queue.
//
// The transfer runs on the transport's thread; the calling thread blocks
// until it completes (within the request's timeouts). A status outside
// 200...299 is an error, and so is a transfer cut short. Any thread except
// the main thread (which would stall the interface).
#pragma once

#include <memory>
#include <string>

#include "vexa/http/QLHTTPTransport.h"
#include "vexa/http/QLSecurityPolicy.h"
#include "vexa/http/QLURLRequest.h"
#include "vexa/platform/Result.h"

namespace vexa {

class QLBlockingImageFetch {
 public:
  // Longest a lookup's image may take as a whole, so that a server that
  // trickles bytes cannot hold the background queue.
  static constexpr double kTotalTimeout = 60;

  // The body of the answer to `request`.
  static Result<std::string> fetch(const std::shared_ptr<QLHTTPTransport>& transport,
                                   QLURLRequest request, const QLSecurityPolicy& policy);
};

}  // namespace vexa
