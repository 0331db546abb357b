#include "vexa/platform/NotificationCenter.h"

#include "vexa/platform/Once.h"

namespace vexa {

NotificationCenter& NotificationCenter::defaultCenter() { return Once<NotificationCenter>::instance(); }

std::shared_ptr<NotificationCenter::List> NotificationCenter::listFor(const std::string& name,
                                                                      bool create) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = lists_.find(name);
  if (it != lists_.end()) return it->second;
  if (!create) return nullptr;
  auto list = std::make_shared<List>();
  lists_.emplace(name, list);
  return list;
}

Subscription NotificationCenter::addObserver(const std::string& name,
                                             std::function<void(const Notification&)> callback,
                                             const void* object) {
  auto list = listFor(name, true);
  return list->add([object, callback = std::move(callback)](const Notification& n) {
    if (object == nullptr || object == n.object) callback(n);
  });
}

void NotificationCenter::post(const std::string& name, const void* object, Value userInfo) {
  auto list = listFor(name, false);
  if (!list) return;
  Notification n{name, object, std::move(userInfo)};
  list->notify(n);
}

size_t NotificationCenter::observerCount(const std::string& name) const {
  auto list = listFor(name, false);
  return list ? list->size() : 0;
}

}  // namespace vexa
