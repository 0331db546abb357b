#include "vexa/store/image/QL_AutoPurgeCache.h"

#include "vexa/platform/ApplicationNotifications.h"

namespace vexa {

QL_AutoPurgeCache::QL_AutoPurgeCache(std::string name, NotificationCenter& center)
    : name_(std::move(name)) {
  memoryWarning_ =
      center.addObserver(kMemoryWarningNotification, [this](const Notification&) { removeAllObjects(); });
}

std::shared_ptr<const Image> QL_AutoPurgeCache::objectForKey(std::string_view key) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = index_.find(key);
  if (it == index_.end()) return nullptr;
  order_.splice(order_.begin(), order_, it->second);
  return it->second->image;
}

void QL_AutoPurgeCache::setObject(const std::string& key, std::shared_ptr<const Image> image,
                                  size_t cost) {
  // Images released under the lock would free their pixels while other
  // threads wait; dropped entries die after the lock is gone.
  Order dropped;
  std::lock_guard<std::mutex> lock(mutex_);
  if (auto it = index_.find(key); it != index_.end()) removeLocked(it->second, dropped);
  if (!image) return;
  if (totalCostLimit_ > 0 && cost > totalCostLimit_) return;
  order_.push_front(Entry{key, std::move(image), cost});
  index_.emplace(key, order_.begin());
  totalCost_ += cost;
  evictLocked(dropped);
}

void QL_AutoPurgeCache::removeObjectForKey(std::string_view key) {
  Order dropped;
  std::lock_guard<std::mutex> lock(mutex_);
  if (auto it = index_.find(key); it != index_.end()) removeLocked(it->second, dropped);
}

void QL_AutoPurgeCache::removeAllObjects() {
  Order dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    dropped.swap(order_);
    index_.clear();
    totalCost_ = 0;
  }
}

size_t QL_AutoPurgeCache::totalCostLimit() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return totalCostLimit_;
}

void QL_AutoPurgeCache::setTotalCostLimit(size_t limit) {
  Order dropped;
  std::lock_guard<std::mutex> lock(mutex_);
  totalCostLimit_ = limit;
  evictLocked(dropped);
}

size_t QL_AutoPurgeCache::countLimit() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return countLimit_;
}

void QL_AutoPurgeCache::setCountLimit(size_t limit) {
  Order dropped;
  std::lock_guard<std::mutex> lock(mutex_);
  countLimit_ = limit;
  evictLocked(dropped);
}

size_t QL_AutoPurgeCache::count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return order_.size();
}

size_t QL_AutoPurgeCache::totalCost() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return totalCost_;
}

void QL_AutoPurgeCache::removeLocked(Order::iterator it, Order& dropped) {
  totalCost_ -= it->cost;
  index_.erase(it->key);
  dropped.splice(dropped.end(), order_, it);
}

void QL_AutoPurgeCache::evictLocked(Order& dropped) {
  while (!order_.empty() && ((countLimit_ > 0 && order_.size() > countLimit_) ||
                             (totalCostLimit_ > 0 && totalCost_ > totalCostLimit_))) {
    removeLocked(std::prev(order_.end()), dropped);
  }
}

}  // namespace vexa
