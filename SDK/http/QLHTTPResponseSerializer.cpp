#include "vexa/http/QLHTTPResponseSerializer.h"

#include "vexa/http/QLHTTPError.h"

namespace vexa {

QLHTTPResponseSerializer::QLHTTPResponseSerializer() {
  for (long code = 200; code < 300; ++code) acceptableStatusCodes_.insert(code);
}

Status QLHTTPResponseSerializer::validateResponse(const QLURLResponse& response,
                                                  bool hasBody) const {
  long status = response.statusCode();
  if (!acceptableStatusCodes_.count(status)) {
    return qlHTTPResponseError(kQLHTTPResponseErrorUnacceptableStatusCode,
                               "Request failed: " + QLURLResponse::localizedStringForStatusCode(status) +
                                   " (" + std::to_string(status) + ")");
  }
  if (hasBody && acceptableContentTypes_ && !acceptableContentTypes_->count(response.mimeType())) {
    return qlHTTPResponseError(kQLHTTPResponseErrorUnacceptableContentType,
                               "Request failed: unacceptable content-type: " + response.mimeType());
  }
  return Status::Ok();
}

Result<Value> QLHTTPResponseSerializer::responseObjectForResponse(const QLURLResponse&,
                                                                  std::string_view body) const {
  return Value(Bytes(body.begin(), body.end()));
}

}  // namespace vexa
