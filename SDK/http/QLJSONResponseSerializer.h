// A response serializer that decodes JSON bodies into Value.
//
// Acceptable content types are "application/json", "text/json" and
// "text/javascript" unless changed. A body that is empty or a single space
// decodes to no object (a null Value). Any other body must be UTF-8
// ("Data failed decoding as a UTF-8 string" otherwise) and well-formed JSON
// (kQLHTTPResponseErrorMalformedJSON otherwise); both errors are in
// kQLHTTPResponseErrorDomain.
#pragma once

#include "vexa/http/QLHTTPResponseSerializer.h"

namespace vexa {

class QLJSONResponseSerializer : public QLHTTPResponseSerializer {
 public:
  QLJSONResponseSerializer();

  Result<Value> responseObjectForResponse(const QLURLResponse& response,
                                          std::string_view body) const override;
};

}  // namespace vexa
