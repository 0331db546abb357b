// Error values of the SDK: a domain, a numeric code and a description.
//
// Nothing throws across the SDK boundary; failures travel as Error values
// through completion functions and Result<T>. Errors are small immutable
// values, cheap to copy, safe to hand between threads.
#pragma once

#include <cstdint>
#include <string>

namespace vexa {

// The domain of errors the SDK makes itself ("QLErrorDomain").
extern const char* const kQLErrorDomain;

class Error {
 public:
  Error(std::string domain, int64_t code, std::string description);

  const std::string& domain() const { return domain_; }
  int64_t code() const { return code_; }
  // The localized description: what a user or log line should show.
  const std::string& description() const { return description_; }

  // "description (domain code)", for logs and the command-line tool.
  std::string toString() const;

  bool operator==(const Error& other) const = default;

 private:
  std::string domain_;
  int64_t code_;
  std::string description_;
};

// An error in kQLErrorDomain with the given code; an absent description is "".
Error qlErrorWithCode(int64_t code, std::string description = {});

// The shape of an error type of the SDK: a class holding the domain's name
// as `kDomain` and its codes as `enum class Code : int64_t`, brought into the
// class with `using enum Code` (so `QLZipError::kCorrupt` names a code);
// `static Error make(Code, std::string)`, which is makeError<Type>(); and
// the hidden friend `operator==(int64_t, Code)`, so that an Error's code()
// compares with the type's codes directly.
template <typename Type>
Error makeError(typename Type::Code code, std::string description) {
  return Error(Type::kDomain, static_cast<int64_t>(code), std::move(description));
}

}  // namespace vexa
