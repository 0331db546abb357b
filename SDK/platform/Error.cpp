#include "vexa/platform/Error.h"

#include <utility>

namespace vexa {

const char* const kQLErrorDomain = "QLErrorDomain";

Error::Error(std::string domain, int64_t code, std::string description)
    : domain_(std::move(domain)), code_(code), description_(std::move(description)) {}

std::string Error::toString() const {
  return description_ + " (" + domain_ + " " + std::to_string(code_) + ")";
}

Error qlErrorWithCode(int64_t code, std::string description) {
  return Error(kQLErrorDomain, code, std::move(description));
}

}  // namespace vexa
