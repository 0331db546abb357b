// The usage reports the service accepted, in arrival order, so that tests
// and users can read back what a client reported. Each report is an object:
//   package actions: {"kind": "package", "package_id", "action", ...}
//   emoji usages:    {"kind": "emoji", "package_id", "emoji_id",
//                     "emoji_text", "action", ...}
// plus "appid", "device_no" and "app_uid" (when sent). The newest
// kMaxReports are kept. Thread-safe.
#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "vexa/platform/Value.h"

namespace vexa::service {

class ReportBook {
 public:
  static constexpr size_t kMaxReports = 100000;

  void record(Value report);
  std::vector<Value> reports() const;
  size_t size() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::deque<Value> reports_;  // GUARDED_BY(mutex_)
};

}  // namespace vexa::service
