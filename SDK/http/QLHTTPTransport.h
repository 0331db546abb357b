// The HTTP engine: libcurl's multi interface driven by one thread of its own.
//
// Transfers started here run concurrently on that thread and share its
// connection cache, so requests to the same host reuse connections. The
// transport knows nothing of operations, queues or the main thread: it
// reports to a QLHTTPTransferDelegate on its own thread (see there), exactly
// one didComplete per transfer, also for transfers that are cancelled, time
// out or are still running when the transport goes away.
//
// A transfer fails with kQLURLErrorTimedOut when no bytes move for the
// request's timeoutInterval(), besides libcurl's connect and total limits.
//
// start() and cancel() may be called from any thread, the delegate's
// functions included. Destroying the transport cancels what still runs.
#pragma once

#include <cstdint>
#include <memory>

#include "vexa/http/QLHTTPTransferDelegate.h"
#include "vexa/http/QLSecurityPolicy.h"
#include "vexa/http/QLURLRequest.h"

namespace vexa {

class QLHTTPTransport {
 public:
  using TransferId = uint64_t;

  QLHTTPTransport();
  ~QLHTTPTransport();
  QLHTTPTransport(const QLHTTPTransport&) = delete;
  QLHTTPTransport& operator=(const QLHTTPTransport&) = delete;

  // Begins a transfer; its outcome reaches the delegate.
  TransferId start(QLURLRequest request, QLSecurityPolicy policy, QLHTTPTransferDelegate delegate);
  // Stops a transfer; it completes with kQLURLErrorCancelled unless it has
  // completed already. Unknown ids are ignored.
  void cancel(TransferId id);
  // Transfers started and not yet completed.
  size_t activeTransferCount() const;

 private:
  struct Engine;
  std::shared_ptr<Engine> engine_;
};

}  // namespace vexa
