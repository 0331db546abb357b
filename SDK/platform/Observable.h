// A value with key-value observation: observers registered with observe()
// are told every new value, on the thread that set it, until their
// Subscription goes away.
#pragma once

#include <functional>
#include <mutex>

#include "vexa/platform/CallbackList.h"

namespace vexa {

template <typename T>
class Observable {
 public:
  Observable() = default;
  explicit Observable(T initial) : value_(std::move(initial)) {}
  // Observers belong to one owner: copying the value does not copy them.
  Observable(const Observable& other) : value_(other.get()) {}
  Observable& operator=(const Observable& other) {
    set(other.get());
    return *this;
  }

  T get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return value_;
  }

  // Stores the value and tells every observer (also when it did not change,
  // as key-value observation of a plain setter does).
  void set(T value) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      value_ = value;
    }
    observers_.notify(value);
  }

  // Observes new values. The callback is not called with the current value.
  [[nodiscard]] Subscription observe(std::function<void(const T&)> callback) {
    return observers_.add(std::move(callback));
  }

  size_t observerCount() const { return observers_.size(); }

 private:
  mutable std::mutex mutex_;
  T value_{};  // GUARDED_BY(mutex_)
  CallbackList<const T&> observers_;
};

}  // namespace vexa
