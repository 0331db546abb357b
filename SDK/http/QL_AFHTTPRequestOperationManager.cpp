#include "vexa/http/QL_AFHTTPRequestOperationManager.h"

#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLJSONResponseSerializer.h"

namespace vexa {

QL_AFHTTPRequestOperationManager::QL_AFHTTPRequestOperationManager(std::string_view baseURL)
    : requestSerializer_(std::make_shared<QLHTTPRequestSerializer>()),
      responseSerializer_(std::make_shared<QLJSONResponseSerializer>()),
      transport_(std::make_shared<QLHTTPTransport>()) {
  if (!baseURL.empty()) (void)setBaseURL(baseURL);
}

QL_AFHTTPRequestOperationManager::~QL_AFHTTPRequestOperationManager() = default;

Status QL_AFHTTPRequestOperationManager::setBaseURL(std::string_view baseURL) {
  baseURL_.reset();
  if (baseURL.empty()) return Status::Ok();
  auto parsed = QLURL::parse(baseURL);
  if (!parsed) return parsed.error();
  baseURL_ = parsed->withTrailingSlash();
  return Status::Ok();
}

std::string QL_AFHTTPRequestOperationManager::baseURLString() const {
  return baseURL_ ? baseURL_->string() : std::string();
}

Result<std::string> QL_AFHTTPRequestOperationManager::absoluteURLString(
    std::string_view urlString) const {
  if (baseURL_) {
    auto resolved = baseURL_->resolve(urlString);
    if (!resolved) return resolved.error();
    return resolved->string();
  }
  auto absolute = QLURL::parse(urlString);
  if (!absolute) {
    return qlHTTPRequestError(kQLHTTPRequestErrorInvalidURL,
                              "No base URL to resolve \"" + std::string(urlString) + "\" against");
  }
  return absolute->string();
}

void QL_AFHTTPRequestOperationManager::setRequestSerializer(
    std::shared_ptr<QLHTTPRequestSerializer> serializer) {
  if (serializer) requestSerializer_ = std::move(serializer);
}

void QL_AFHTTPRequestOperationManager::setResponseSerializer(
    std::shared_ptr<const QLHTTPResponseSerializer> serializer) {
  if (serializer) responseSerializer_ = std::move(serializer);
}

QL_AFHTTPRequestOperationManager::Operation
QL_AFHTTPRequestOperationManager::HTTPRequestOperationWithRequest(QLURLRequest request,
                                                                  Success success, Failure failure) {
  auto operation = QLHTTPRequestOperation::make(std::move(request), transport_);
  operation->setResponseSerializer(responseSerializer_);
  operation->setSecurityPolicy(securityPolicy_);
  operation->setCompletionBlockWithSuccess(std::move(success), std::move(failure));
  return operation;
}

QL_AFHTTPRequestOperationManager::Operation
QL_AFHTTPRequestOperationManager::HTTPRequestOperationWithHTTPMethod(std::string_view method,
                                                                     std::string_view urlString,
                                                                     const Value& parameters,
                                                                     Success success,
                                                                     Failure failure) {
  auto url = absoluteURLString(urlString);
  auto request = url ? requestSerializer_->requestWithMethod(method, *url, parameters)
                     : Result<QLURLRequest>(url.error());
  return operationForRequest(std::move(request), std::move(success), std::move(failure));
}

QL_AFHTTPRequestOperationManager::Operation QL_AFHTTPRequestOperationManager::operationForRequest(
    Result<QLURLRequest> request, Success success, Failure failure) {
  if (!request) {
    auto operation = QLHTTPRequestOperation::makeFailed(request.error());
    operation->setCompletionBlockWithSuccess(std::move(success), std::move(failure));
    return operation;
  }
  return HTTPRequestOperationWithRequest(std::move(request).value(), std::move(success),
                                         std::move(failure));
}

QL_AFHTTPRequestOperationManager::Operation QL_AFHTTPRequestOperationManager::queued(
    std::string_view method, std::string_view urlString, const Value& parameters, Success success,
    Failure failure) {
  auto operation = HTTPRequestOperationWithHTTPMethod(method, urlString, parameters,
                                                      std::move(success), std::move(failure));
  operationQueue_.addOperation(operation);
  return operation;
}

#define VX_QUEUED_METHOD(NAME)                                                              \
  QL_AFHTTPRequestOperationManager::Operation QL_AFHTTPRequestOperationManager::NAME(       \
      std::string_view urlString, const Value& parameters, Success success, Failure failure) { \
    return queued(#NAME, urlString, parameters, std::move(success), std::move(failure));    \
  }
VX_QUEUED_METHOD(GET)
VX_QUEUED_METHOD(HEAD)
VX_QUEUED_METHOD(POST)
VX_QUEUED_METHOD(PUT)
VX_QUEUED_METHOD(PATCH)
VX_QUEUED_METHOD(DELETE)
#undef VX_QUEUED_METHOD

QL_AFHTTPRequestOperationManager::Operation QL_AFHTTPRequestOperationManager::POST(
    std::string_view urlString, const Value& parameters,
    std::function<void(QLMultipartFormData&)> build, Success success, Failure failure) {
  auto url = absoluteURLString(urlString);
  auto request = url ? requestSerializer_->multipartFormRequestWithMethod("POST", *url, parameters, build)
                     : Result<QLURLRequest>(url.error());
  auto operation = operationForRequest(std::move(request), std::move(success), std::move(failure));
  operationQueue_.addOperation(operation);
  return operation;
}

}  // namespace vexa
