// The signature a client puts on a request: the upper-case hexadecimal MD5
// of the request's absolute URL (without query) followed directly by the
// "key=value" pairs of its parameters, sorted by key with plain byte-wise
// comparison and joined with "&". The "signature" parameter itself is left
// out; values are written in their plain text form.
// Stateless; any thread.
#pragma once

#include <string>
#include <string_view>

#include "vexa/platform/Value.h"

namespace vexa::service {

class RequestSignature {
 public:
  static constexpr const char* kParameter = "signature";

  // The text that is signed.
  static std::string signedText(std::string_view absoluteUrl, const Value::Dictionary& params);
  static std::string compute(std::string_view absoluteUrl, const Value::Dictionary& params);
};

}  // namespace vexa::service
