#include "vexa/http/QLJSONResponseSerializer.h"

#include "vexa/http/QLHTTPError.h"
#include "vexa/platform/JsonCodec.h"

namespace vexa {

QLJSONResponseSerializer::QLJSONResponseSerializer() {
  setAcceptableContentTypes(std::set<std::string>{"application/json", "text/json", "text/javascript"});
}

Result<Value> QLJSONResponseSerializer::responseObjectForResponse(const QLURLResponse&,
                                                                  std::string_view body) const {
  // Some servers answer "no content" with a single space.
  if (body.empty() || body == " ") return Result<Value>(Value(nullptr));
  auto parsed = JsonCodec::parse(body);  // checks the UTF-8 first
  if (!parsed && parsed.error().code() == JsonCodec::kNotUtf8) {
    return qlHTTPResponseError(kQLHTTPResponseErrorNotUtf8, "Data failed decoding as a UTF-8 string");
  }
  if (!parsed) {
    return qlHTTPResponseError(kQLHTTPResponseErrorMalformedJSON,
                               "Request failed: the body is not valid JSON (" +
                                   parsed.error().description() + ")");
  }
  return parsed;
}

}  // namespace vexa
