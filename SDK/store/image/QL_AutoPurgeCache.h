// The memory level of the image cache: decoded images by key, each with a
// cost (the bytes of its decoded pixels), bounded by a total-cost limit
// (kDefaultTotalCostLimit unless set) and a count limit (none unless set);
// 0 means no limit.
// When an insertion passes a limit, the least recently used entries go first;
// an entry whose cost alone is above the cost limit is not kept at all.
// The cache empties itself when kMemoryWarningNotification is posted.
//
// Thread-safe: every operation may be called from any thread.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "vexa/platform/CallbackList.h"
#include "vexa/platform/Image.h"
#include "vexa/platform/NotificationCenter.h"

namespace vexa {

class QL_AutoPurgeCache {
 public:
  static constexpr size_t kDefaultTotalCostLimit = size_t(64) << 20;

  // Listens for memory warnings on `center` for as long as the cache lives.
  explicit QL_AutoPurgeCache(std::string name = {},
                             NotificationCenter& center = NotificationCenter::defaultCenter());
  QL_AutoPurgeCache(const QL_AutoPurgeCache&) = delete;
  QL_AutoPurgeCache& operator=(const QL_AutoPurgeCache&) = delete;

  const std::string& name() const { return name_; }

  // The image, or nullptr; a hit makes the entry the most recently used.
  std::shared_ptr<const Image> objectForKey(std::string_view key);
  // Replaces any entry of the key, then evicts until the limits hold.
  void setObject(const std::string& key, std::shared_ptr<const Image> image, size_t cost = 0);
  void removeObjectForKey(std::string_view key);
  void removeAllObjects();

  size_t totalCostLimit() const;
  // Applies at once: entries are evicted until the new limit holds.
  void setTotalCostLimit(size_t limit);
  size_t countLimit() const;
  void setCountLimit(size_t limit);

  size_t count() const;
  size_t totalCost() const;

 private:
  struct Entry {
    std::string key;
    std::shared_ptr<const Image> image;
    size_t cost;
  };
  using Order = std::list<Entry>;  // most recently used first
  struct KeyHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };

  // Both move entries to `dropped`, to be released after the lock.
  void removeLocked(Order::iterator it, Order& dropped);
  void evictLocked(Order& dropped);

  const std::string name_;
  mutable std::mutex mutex_;
  Order order_;                                                               // GUARDED_BY(mutex_)
  std::unordered_map<std::string, Order::iterator, KeyHash, std::equal_to<>> index_;  // GUARDED_BY(mutex_)
  size_t totalCost_ = 0;                                                      // GUARDED_BY(mutex_)
  size_t totalCostLimit_ = kDefaultTotalCostLimit;                            // GUARDED_BY(mutex_)
  size_t countLimit_ = 0;                                                     // GUARDED_BY(mutex_)
  Subscription memoryWarning_;  // last: ends before the entries go
};

}  // namespace vexa
