#include "vexa/http/QLHTTPError.h"

#include <utility>

namespace vexa {

const char* const kQLURLErrorDomain = "VXURLErrorDomain";
const char* const kQLHTTPRequestErrorDomain = "VXHTTPRequestErrorDomain";
const char* const kQLHTTPResponseErrorDomain = "VXHTTPResponseErrorDomain";

Error qlURLError(int64_t code, std::string description) {
  return Error(kQLURLErrorDomain, code, std::move(description));
}

Error qlHTTPRequestError(int64_t code, std::string description) {
  return Error(kQLHTTPRequestErrorDomain, code, std::move(description));
}

Error qlHTTPResponseError(int64_t code, std::string description) {
  return Error(kQLHTTPResponseErrorDomain, code, std::move(description));
}

}  // namespace vexa
