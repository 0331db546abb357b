// The HTTP operation manager: a base URL, a request serializer, a response
// serializer, a security policy, a transport and an operation queue of its
// own, and factories for operations that use them.
//
// Relative URL strings resolve against the base URL. A base URL whose path
// is non-empty and does not end in "/" gets one appended, so that "token"
// under "http://host/api/v1" is "http://host/api/v1/token" rather than
// "http://host/api/token".
//
// Operations made by the factories named after HTTP methods are added to the
// operation queue at once; HTTPRequestOperationWithRequest() and
// HTTPRequestOperationWithHTTPMethod() return prepared operations that the
// caller starts, queues or batches. Success and failure functions run on the
// main queue, exactly once per started operation (see QLHTTPRequestOperation).
//
// Configure (base URL, serializers, policy) on the main thread; operations
// copy what they need when they are made.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/http/QLHTTPRequestOperation.h"
#include "vexa/http/QLHTTPRequestSerializer.h"
#include "vexa/http/QLHTTPResponseSerializer.h"
#include "vexa/http/QLHTTPTransport.h"
#include "vexa/http/QLOperationQueue.h"
#include "vexa/http/QLSecurityPolicy.h"
#include "vexa/http/QLURL.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class QL_AFHTTPRequestOperationManager {
 public:
  using Operation = QLHTTPRequestOperation::Ptr;
  using Success = QLHTTPRequestOperation::Success;
  using Failure = QLHTTPRequestOperation::Failure;

  // With no base URL (or one that does not parse: see setBaseURL()),
  // relative URL strings fail with kQLHTTPRequestErrorInvalidURL.
  explicit QL_AFHTTPRequestOperationManager(std::string_view baseURL = {});
  virtual ~QL_AFHTTPRequestOperationManager();
  QL_AFHTTPRequestOperationManager(const QL_AFHTTPRequestOperationManager&) = delete;
  QL_AFHTTPRequestOperationManager& operator=(const QL_AFHTTPRequestOperationManager&) = delete;

  // Empty text clears the base URL. Text that does not parse as an absolute
  // URL clears it too and is reported.
  Status setBaseURL(std::string_view baseURL);
  const std::optional<QLURL>& baseURL() const { return baseURL_; }
  // The base URL's text, empty when none.
  std::string baseURLString() const;
  // `urlString` resolved against the base URL (absolute strings stand alone).
  Result<std::string> absoluteURLString(std::string_view urlString) const;

  const std::shared_ptr<QLHTTPRequestSerializer>& requestSerializer() const { return requestSerializer_; }
  void setRequestSerializer(std::shared_ptr<QLHTTPRequestSerializer> serializer);
  const std::shared_ptr<const QLHTTPResponseSerializer>& responseSerializer() const {
    return responseSerializer_;
  }
  void setResponseSerializer(std::shared_ptr<const QLHTTPResponseSerializer> serializer);
  const QLSecurityPolicy& securityPolicy() const { return securityPolicy_; }
  void setSecurityPolicy(QLSecurityPolicy policy) { securityPolicy_ = std::move(policy); }

  QLOperationQueue& operationQueue() { return operationQueue_; }
  const std::shared_ptr<QLHTTPTransport>& transport() const { return transport_; }

  // A prepared, not started operation for `request` with this manager's
  // response serializer and security policy.
  Operation HTTPRequestOperationWithRequest(QLURLRequest request, Success success, Failure failure);
  // A prepared, not started operation for a method, a URL string (relative
  // to the base URL) and parameters serialized by the request serializer.
  // When the request cannot be built the operation fails with that error
  // once started.
  Operation HTTPRequestOperationWithHTTPMethod(std::string_view method, std::string_view urlString,
                                               const Value& parameters, Success success,
                                               Failure failure);

  // Queued operations.
  Operation GET(std::string_view urlString, const Value& parameters, Success success, Failure failure);
  Operation HEAD(std::string_view urlString, const Value& parameters, Success success, Failure failure);
  Operation POST(std::string_view urlString, const Value& parameters, Success success, Failure failure);
  // A multipart POST: `build` appends the parts after the parameters' fields.
  Operation POST(std::string_view urlString, const Value& parameters,
                 std::function<void(QLMultipartFormData&)> build, Success success, Failure failure);
  Operation PUT(std::string_view urlString, const Value& parameters, Success success, Failure failure);
  Operation PATCH(std::string_view urlString, const Value& parameters, Success success, Failure failure);
  Operation DELETE(std::string_view urlString, const Value& parameters, Success success, Failure failure);

 protected:
  // HTTPRequestOperationWithRequest() for a built request, or an operation
  // that fails with the builder's error once started.
  Operation operationForRequest(Result<QLURLRequest> request, Success success, Failure failure);

 private:
  Operation queued(std::string_view method, std::string_view urlString, const Value& parameters,
                   Success success, Failure failure);

  std::optional<QLURL> baseURL_;
  std::shared_ptr<QLHTTPRequestSerializer> requestSerializer_;
  std::shared_ptr<const QLHTTPResponseSerializer> responseSerializer_;
  QLSecurityPolicy securityPolicy_;
  std::shared_ptr<QLHTTPTransport> transport_;
  QLOperationQueue operationQueue_;
};

}  // namespace vexa
