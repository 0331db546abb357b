// The service's response envelope and its error codes.
//
// Every API answer is a JSON object: {"error_code": 0, "message": "ok",
// "data": {...}} for one result object, "data_list": [...] for a list, or
// {"error_code": N, "message": "..."} for an error. Envelope errors travel
// with HTTP status 200, as clients read the code from the body; only an
// unknown path (404) and a wrong method (405) change the status as well.
#pragma once

#include <cstdint>
#include <string>

#include "vexa/platform/Value.h"

namespace vexa::service {

enum class ServiceError : int64_t {
  kBadRequest = 10001,       // a parameter or the body is missing or malformed
  kBadCredentials = 10002,   // unknown appid or wrong secret
  kTokenInvalid = 30001,     // access token unknown, expired or missing
  kBadSignature = 30002,     // the signature does not match the request
  kNotFound = 40004,         // no package or emoji with that id
  kUnknownPath = 40400,      // no such API path
  kMethodNotAllowed = 40500  // the path exists for another method
};

class Envelope {
 public:
  static Value data(Value object);
  static Value dataList(Value::Array list);
  static Value error(ServiceError code, std::string message);
};

}  // namespace vexa::service
