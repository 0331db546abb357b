// One HTTP request from start to its outcome: the unit that queues run,
// that callers cancel, and that reports to success, failure and progress
// functions.
//
// An operation is prepared (request, response serializer, optional output
// file, functions), then started once, by a QLOperationQueue or by start().
// Its body is kept in memory, or, with an output file, streamed to a
// temporary file beside it that replaces the file only when the whole
// operation succeeds; on failure or cancellation no partial file remains.
//
// Outcome. A started operation calls exactly one of its success and failure
// functions, once, on the main queue; afterwards its finished observers run
// (queues and batches use them). Success means: the transfer completed, the
// response serializer accepted status and content type, and the body
// decoded (or reached its file). Failures carry the transport's error
// (kQLURLErrorDomain), the serializer's (kQLHTTPResponseErrorDomain) or the
// request's (kQLHTTPRequestErrorDomain); a cancelled operation fails with
// kQLURLErrorCancelled. Progress functions run on the main queue for every
// received chunk, before the outcome, and stop once it is cancelled.
//
// Threads. Configure on one thread before starting; start() and cancel() are
// safe from any thread; the accessors of the outcome belong to the main
// thread once the operation has finished.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "vexa/http/QLHTTPResponseSerializer.h"
#include "vexa/http/QLHTTPTransport.h"
#include "vexa/http/QLSecurityPolicy.h"
#include "vexa/http/QLURLRequest.h"
#include "vexa/http/QLURLResponse.h"
#include "vexa/platform/Error.h"
#include "vexa/platform/Value.h"

namespace vexa {

class QLDownloadFile;

class QLHTTPRequestOperation : public std::enable_shared_from_this<QLHTTPRequestOperation> {
 public:
  using Ptr = std::shared_ptr<QLHTTPRequestOperation>;
  using Success = std::function<void(const Ptr& operation, const Value& responseObject)>;
  using Failure = std::function<void(const Ptr& operation, const Error& error)>;
  // The chunk's size, the bytes received so far and the announced total
  // (-1 when the server announced none).
  using Progress = std::function<void(size_t bytesRead, int64_t totalBytesRead,
                                      int64_t totalBytesExpected)>;

  // An operation for `request`, to be carried out by `transport`.
  static Ptr make(QLURLRequest request, std::shared_ptr<QLHTTPTransport> transport);
  // An operation that fails with `error` when started: a request that could
  // not be built still reports through the usual path, exactly once.
  static Ptr makeFailed(Error error);

  ~QLHTTPRequestOperation();
  QLHTTPRequestOperation(const QLHTTPRequestOperation&) = delete;
  QLHTTPRequestOperation& operator=(const QLHTTPRequestOperation&) = delete;

  const QLURLRequest& request() const { return request_; }

  // Configuration, before start(). The default serializer keeps the body as data.
  void setResponseSerializer(std::shared_ptr<const QLHTTPResponseSerializer> serializer);
  const std::shared_ptr<const QLHTTPResponseSerializer>& responseSerializer() const {
    return serializer_;
  }
  void setSecurityPolicy(QLSecurityPolicy policy) { policy_ = std::move(policy); }
  // Streams the body to `path` (its directory must exist); the success
  // function then receives a null object.
  void setOutputFile(std::filesystem::path path);
  const std::optional<std::filesystem::path>& outputFile() const { return outputPath_; }
  void setCompletionBlockWithSuccess(Success success, Failure failure);
  void setDownloadProgressBlock(Progress progress);
  // Runs on the main queue after the success or failure function.
  void addFinishedObserver(std::function<void()> observer);

  // Begins the request. Later calls do nothing.
  void start();
  // Stops the operation: one not yet started fails as soon as it starts, a
  // running one fails with kQLURLErrorCancelled. No effect once its outcome
  // is decided.
  void cancel();

  bool isCancelled() const;
  bool isExecuting() const;
  bool isFinished() const;

  // The outcome; main thread, after the operation has finished.
  const std::optional<QLURLResponse>& response() const { return response_; }
  // The body when it was kept in memory.
  const std::string& responseData() const { return body_; }
  const Value& responseObject() const { return responseObject_; }
  const std::optional<Error>& error() const { return error_; }

 private:
  enum class State { Ready, Executing, Deciding, Finished };

  QLHTTPRequestOperation(QLURLRequest request, std::shared_ptr<QLHTTPTransport> transport,
                         std::optional<Error> presetError);
  QLHTTPTransferDelegate makeDelegate();
  Status receiveResponse(const QLURLResponse& response);
  Status receiveData(std::string_view chunk);
  // Background: validate, decode, commit the file.
  void decide(std::optional<QLURLResponse> response, std::optional<Error> error);
  // Main queue: report the outcome.
  void deliver(Value object, std::optional<Error> error);
  void postDelivery(Value object, std::optional<Error> error);

  const QLURLRequest request_;
  const std::shared_ptr<QLHTTPTransport> transport_;
  const std::optional<Error> presetError_;
  std::shared_ptr<const QLHTTPResponseSerializer> serializer_;
  QLSecurityPolicy policy_;
  std::optional<std::filesystem::path> outputPath_;
  Success success_;
  Failure failure_;
  Progress progress_;
  std::vector<std::function<void()>> finishedObservers_;

  mutable std::mutex mutex_;
  State state_ = State::Ready;                 // GUARDED_BY(mutex_)
  bool cancelled_ = false;                     // GUARDED_BY(mutex_)
  QLHTTPTransport::TransferId transferId_ = 0; // GUARDED_BY(mutex_)

  // Written on the transport's thread while executing, read after it.
  std::unique_ptr<QLDownloadFile> file_;
  std::string body_;
  int64_t bytesReceived_ = 0;
  int64_t bytesExpected_ = -1;
  std::optional<QLURLResponse> response_;
  // Main thread.
  Value responseObject_;
  std::optional<Error> error_;
};

}  // namespace vexa
