// Named notifications within the process.
//
// Observers register for a name (and optionally one sender) and get a
// Subscription; the registration ends when it is destroyed. post() calls the
// matching observers synchronously on the posting thread, in registration
// order.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "vexa/platform/CallbackList.h"
#include "vexa/platform/Value.h"

namespace vexa {

struct Notification {
  std::string name;
  // The sender's identity, for filtering only; never dereferenced here.
  const void* object = nullptr;
  Value userInfo;
};

class NotificationCenter {
 public:
  static NotificationCenter& defaultCenter();

  NotificationCenter() = default;
  NotificationCenter(const NotificationCenter&) = delete;
  NotificationCenter& operator=(const NotificationCenter&) = delete;

  // Observes notifications of `name`; when `object` is set, only those posted
  // with that object.
  [[nodiscard]] Subscription addObserver(const std::string& name,
                                         std::function<void(const Notification&)> callback,
                                         const void* object = nullptr);

  void post(const std::string& name, const void* object = nullptr, Value userInfo = {});

  size_t observerCount(const std::string& name) const;

 private:
  using List = CallbackList<const Notification&>;
  std::shared_ptr<List> listFor(const std::string& name, bool create) const;

  mutable std::mutex mutex_;
  mutable std::map<std::string, std::shared_ptr<List>> lists_;  // GUARDED_BY(mutex_)
};

}  // namespace vexa
