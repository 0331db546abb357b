#include "vexa/http/QLHTTPRequestOperation.h"

#include "vexa/http/QLDownloadFile.h"
#include "vexa/http/QLHTTPError.h"
#include "vexa/platform/GlobalQueue.h"
#include "vexa/platform/MainQueue.h"

namespace vexa {
namespace {

Error cancelledError() { return qlURLError(kQLURLErrorCancelled, "cancelled"); }

}  // namespace

QLHTTPRequestOperation::Ptr QLHTTPRequestOperation::make(QLURLRequest request,
                                                         std::shared_ptr<QLHTTPTransport> transport) {
  return Ptr(new QLHTTPRequestOperation(std::move(request), std::move(transport), std::nullopt));
}

QLHTTPRequestOperation::Ptr QLHTTPRequestOperation::makeFailed(Error error) {
  return Ptr(new QLHTTPRequestOperation(QLURLRequest(), nullptr, std::move(error)));
}

QLHTTPRequestOperation::QLHTTPRequestOperation(QLURLRequest request,
                                               std::shared_ptr<QLHTTPTransport> transport,
                                               std::optional<Error> presetError)
    : request_(std::move(request)),
      transport_(std::move(transport)),
      presetError_(std::move(presetError)),
      serializer_(std::make_shared<QLHTTPResponseSerializer>()) {}

QLHTTPRequestOperation::~QLHTTPRequestOperation() = default;

void QLHTTPRequestOperation::setResponseSerializer(
    std::shared_ptr<const QLHTTPResponseSerializer> serializer) {
  if (serializer) serializer_ = std::move(serializer);
}

void QLHTTPRequestOperation::setOutputFile(std::filesystem::path path) {
  outputPath_ = std::move(path);
}

void QLHTTPRequestOperation::setCompletionBlockWithSuccess(Success success, Failure failure) {
  success_ = std::move(success);
  failure_ = std::move(failure);
}

void QLHTTPRequestOperation::setDownloadProgressBlock(Progress progress) {
  progress_ = std::move(progress);
}

void QLHTTPRequestOperation::addFinishedObserver(std::function<void()> observer) {
  finishedObservers_.push_back(std::move(observer));
}

bool QLHTTPRequestOperation::isCancelled() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return cancelled_;
}

bool QLHTTPRequestOperation::isExecuting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_ == State::Executing || state_ == State::Deciding;
}

bool QLHTTPRequestOperation::isFinished() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_ == State::Finished;
}

void QLHTTPRequestOperation::start() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (state_ != State::Ready) return;
  if (cancelled_ || presetError_ || !transport_) {
    state_ = State::Deciding;
    Error error = cancelled_ ? cancelledError()
                  : presetError_ ? *presetError_
                                 : qlURLError(kQLURLErrorUnknown, "The operation has no transport");
    lock.unlock();
    postDelivery(Value(), std::move(error));
    return;
  }
  state_ = State::Executing;
  if (outputPath_) file_ = std::make_unique<QLDownloadFile>(*outputPath_);
  // start() only posts to the transport's thread, so holding the lock here
  // cannot deadlock against the delegate, and cancel() always sees the id.
  transferId_ = transport_->start(request_, policy_, makeDelegate());
}

void QLHTTPRequestOperation::cancel() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (cancelled_ || state_ == State::Deciding || state_ == State::Finished) return;
  cancelled_ = true;
  if (state_ == State::Executing) {
    auto id = transferId_;
    lock.unlock();
    transport_->cancel(id);
  }
}

QLHTTPTransferDelegate QLHTTPRequestOperation::makeDelegate() {
  // The transport holds the operation alive until it completes.
  auto self = shared_from_this();
  QLHTTPTransferDelegate delegate;
  delegate.didReceiveResponse = [self](const QLURLResponse& r) { return self->receiveResponse(r); };
  delegate.didReceiveData = [self](std::string_view chunk) { return self->receiveData(chunk); };
  delegate.didComplete = [self](std::optional<QLURLResponse> response, std::optional<Error> error) {
    // Decoding and fsync stay off the transport's thread.
    GlobalQueue::shared().async([self, response = std::move(response), error = std::move(error)] {
      self->decide(response, error);
    });
  };
  return delegate;
}

Status QLHTTPRequestOperation::receiveResponse(const QLURLResponse& response) {
  response_ = response;
  bytesExpected_ = response.expectedContentLength();
  bytesReceived_ = 0;
  body_.clear();
  if (file_) return file_->open();
  return Status::Ok();
}

Status QLHTTPRequestOperation::receiveData(std::string_view chunk) {
  if (file_) {
    Status written = file_->write(chunk);
    if (!written) return written;
  } else {
    body_.append(chunk);
  }
  bytesReceived_ += static_cast<int64_t>(chunk.size());
  if (progress_) {
    MainQueue::shared().async([self = shared_from_this(), size = chunk.size(),
                               total = bytesReceived_, expected = bytesExpected_] {
      if (self->progress_ && !self->isCancelled() && !self->isFinished()) {
        self->progress_(size, total, expected);
      }
    });
  }
  return Status::Ok();
}

void QLHTTPRequestOperation::decide(std::optional<QLURLResponse> response,
                                    std::optional<Error> error) {
  if (response) response_ = std::move(response);
  Value object;
  if (!error && !response_) error = qlURLError(kQLURLErrorBadServerResponse, "No response");
  if (!error) {
    Status valid = serializer_->validateResponse(*response_, bytesReceived_ > 0);
    if (!valid) {
      error = valid.error();
    } else if (!file_) {
      auto decoded = serializer_->responseObjectForResponse(*response_, body_);
      if (decoded) {
        object = std::move(decoded).value();
      } else {
        error = decoded.error();
      }
    }
  }
  {
    // The outcome is decided here: a cancel() that wins this lock still
    // turns it into a cancellation; a later one has no effect.
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_) error = cancelledError();
    state_ = State::Deciding;
  }
  if (file_) {
    if (!error) {
      Status committed = file_->commit();
      if (!committed) error = committed.error();
    }
    if (error) file_->discard();
  }
  if (error) object = Value();
  postDelivery(std::move(object), std::move(error));
}

void QLHTTPRequestOperation::postDelivery(Value object, std::optional<Error> error) {
  MainQueue::shared().async([self = shared_from_this(), object = std::move(object),
                             error = std::move(error)]() mutable {
    self->deliver(std::move(object), std::move(error));
  });
}

void QLHTTPRequestOperation::deliver(Value object, std::optional<Error> error) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = State::Finished;
  }
  responseObject_ = std::move(object);
  error_ = std::move(error);
  // Released before calling out: a function that captures this operation
  // must not keep it alive for ever.
  auto success = std::move(success_);
  auto failure = std::move(failure_);
  auto observers = std::move(finishedObservers_);
  success_ = nullptr;
  failure_ = nullptr;
  progress_ = nullptr;
  finishedObservers_.clear();
  auto self = shared_from_this();
  if (error_) {
    if (failure) failure(self, *error_);
  } else if (success) {
    success(self, responseObject_);
  }
  for (auto& observer : observers) observer();
}

}  // namespace vexa
