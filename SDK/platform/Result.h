// Result<T>: either a value or an Error, never both.
#pragma once

#include <cassert>
#include <optional>
#include <utility>
#include <variant>

#include "vexa/platform/Error.h"

namespace vexa {

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
  Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}  // NOLINT

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { assert(ok()); return std::get<0>(state_); }
  const T& value() const& { assert(ok()); return std::get<0>(state_); }
  T&& value() && { assert(ok()); return std::get<0>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Error& error() const { assert(!ok()); return std::get<1>(state_); }

  // The error if there is one, for completion functions taking optional<Error>.
  std::optional<Error> errorOrNone() const {
    return ok() ? std::nullopt : std::optional<Error>(error());
  }

 private:
  std::variant<T, Error> state_;
};

// For operations that have nothing to return but may fail.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)) {}  // NOLINT: implicit by design
  static Status Ok() { return Status(); }

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  const Error& error() const { assert(!ok()); return *error_; }
  const std::optional<Error>& errorOrNone() const { return error_; }

 private:
  std::optional<Error> error_;
};

}  // namespace vexa
