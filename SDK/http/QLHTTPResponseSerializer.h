// Checks an HTTP answer and turns its body into the object handed to the
// success function.
//
// This base class accepts status codes 200 to 299 and, unless a set of
// acceptable content types is given, any content type; its object is the
// raw body as data (Value holding Bytes). Subclasses decode JSON
// (QLJSONResponseSerializer) or accept image types (QLImageResponseSerializer).
//
// Errors, in kQLHTTPResponseErrorDomain:
//  - status outside the acceptable codes: "Request failed: <status text> (<code>)";
//  - a body of an unacceptable MIME type:
//    "Request failed: unacceptable content-type: <type>".
//
// Configure before sharing; afterwards read-only and usable from any thread
// (operations call it on a background thread).
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "vexa/http/QLURLResponse.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"

namespace vexa {

class QLHTTPResponseSerializer {
 public:
  QLHTTPResponseSerializer();
  virtual ~QLHTTPResponseSerializer() = default;

  const std::set<long>& acceptableStatusCodes() const { return acceptableStatusCodes_; }
  void setAcceptableStatusCodes(std::set<long> codes) { acceptableStatusCodes_ = std::move(codes); }
  // None accepts every type.
  const std::optional<std::set<std::string>>& acceptableContentTypes() const {
    return acceptableContentTypes_;
  }
  void setAcceptableContentTypes(std::optional<std::set<std::string>> types) {
    acceptableContentTypes_ = std::move(types);
  }

  // Status first, then, when the response carried a body, its MIME type.
  virtual Status validateResponse(const QLURLResponse& response, bool hasBody) const;
  // The object for a validated response's body.
  virtual Result<Value> responseObjectForResponse(const QLURLResponse& response,
                                                  std::string_view body) const;

 private:
  std::set<long> acceptableStatusCodes_;
  std::optional<std::set<std::string>> acceptableContentTypes_;
};

}  // namespace vexa
