#include "vexa/api/QLBlockingImageFetch.h"

#include <condition_variable>
#include <mutex>
#include <optional>

#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLHTTPResponseSerializer.h"

namespace vexa {
namespace {

// What the transport's thread hands to the waiting one.
struct Outcome {
  std::mutex mutex;
  std::condition_variable done;
  bool complete = false;                  // GUARDED_BY(mutex)
  std::string body;                       // written on the transport thread until complete
  std::optional<QLURLResponse> response;  // GUARDED_BY(mutex)
  std::optional<Error> error;             // GUARDED_BY(mutex)
};

}  // namespace

Result<std::string> QLBlockingImageFetch::fetch(const std::shared_ptr<QLHTTPTransport>& transport,
                                                QLURLRequest request,
                                                const QLSecurityPolicy& policy) {
  if (!transport) return qlURLError(kQLURLErrorCancelled, "No transport");
  if (request.totalTimeout() <= 0 || request.totalTimeout() > kTotalTimeout) {
    request.setTotalTimeout(kTotalTimeout);
  }
  auto outcome = std::make_shared<Outcome>();
  QLHTTPTransferDelegate delegate;
  delegate.didReceiveResponse = [](const QLURLResponse&) { return Status::Ok(); };
  delegate.didReceiveData = [outcome](std::string_view chunk) {
    outcome->body.append(chunk);
    return Status::Ok();
  };
  delegate.didComplete = [outcome](std::optional<QLURLResponse> response,
                                   std::optional<Error> error) {
    std::lock_guard lock(outcome->mutex);
    outcome->response = std::move(response);
    outcome->error = std::move(error);
    outcome->complete = true;
    outcome->done.notify_all();
  };
  transport->start(std::move(request), policy, std::move(delegate));

  std::unique_lock lock(outcome->mutex);
  outcome->done.wait(lock, [&] { return outcome->complete; });
  if (outcome->error) return *outcome->error;
  if (!outcome->response) return qlURLError(kQLURLErrorBadServerResponse, "No response");
  // Any type: the decoder, not the label, tells an image.
  static const QLHTTPResponseSerializer acceptAnyType;
  Status valid = acceptAnyType.validateResponse(*outcome->response, !outcome->body.empty());
  if (!valid) return valid.error();
  return std::move(outcome->body);
}

}  // namespace vexa
