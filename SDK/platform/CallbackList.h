// A list of callbacks with RAII registration, safe against the usual
// observer hazards:
//  - a Subscription that has been destroyed never sees another call, even
//    when notify() runs on another thread at the same moment;
//  - a callback may destroy its own Subscription, or others, while it runs;
//  - notify() holds no list lock while calling out.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vexa {

// Ends a registration when destroyed (or reset()). Movable, not copyable.
class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
  Subscription(Subscription&& other) noexcept : cancel_(std::move(other.cancel_)) {
    other.cancel_ = nullptr;
  }
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      reset();
      cancel_ = std::move(other.cancel_);
      other.cancel_ = nullptr;
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { reset(); }

  void reset() {
    if (cancel_) {
      auto cancel = std::move(cancel_);
      cancel_ = nullptr;
      cancel();
    }
  }
  bool active() const { return static_cast<bool>(cancel_); }

 private:
  std::function<void()> cancel_;
};

template <typename... Args>
class CallbackList {
 public:
  using Callback = std::function<void(Args...)>;

  CallbackList() : shared_(std::make_shared<Shared>()) {}

  // The list may be destroyed before its subscriptions: they then do nothing.
  [[nodiscard]] Subscription add(Callback callback) {
    auto slot = std::make_shared<Slot>();
    slot->callback = std::move(callback);
    {
      std::lock_guard<std::mutex> lock(shared_->mutex);
      shared_->slots.push_back(slot);
    }
    std::weak_ptr<Shared> weakShared = shared_;
    std::weak_ptr<Slot> weakSlot = slot;
    return Subscription([weakShared, weakSlot] {
      auto s = weakSlot.lock();
      if (!s) return;
      {
        // Waits for a call in progress on another thread; on this thread the
        // recursive mutex lets a callback cancel itself.
        std::lock_guard<std::recursive_mutex> callLock(s->callMutex);
        s->alive = false;
      }
      if (auto shared = weakShared.lock()) {
        std::lock_guard<std::mutex> lock(shared->mutex);
        auto& v = shared->slots;
        v.erase(std::remove(v.begin(), v.end(), s), v.end());
      }
    });
  }

  // Calls every live callback, in registration order, on this thread.
  void notify(Args... args) const {
    std::vector<std::shared_ptr<Slot>> snapshot;
    {
      std::lock_guard<std::mutex> lock(shared_->mutex);
      snapshot = shared_->slots;
    }
    for (const auto& slot : snapshot) {
      std::lock_guard<std::recursive_mutex> callLock(slot->callMutex);
      if (slot->alive) slot->callback(args...);
    }
  }

  size_t size() const {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->slots.size();
  }

 private:
  struct Slot {
    std::recursive_mutex callMutex;
    bool alive = true;  // GUARDED_BY(callMutex)
    Callback callback;
  };
  struct Shared {
    std::mutex mutex;
    std::vector<std::shared_ptr<Slot>> slots;  // GUARDED_BY(mutex)
  };
  std::shared_ptr<Shared> shared_;
};

}  // namespace vexa
