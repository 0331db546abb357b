#include "service/ReportBook.h"

namespace vexa::service {

void ReportBook::record(Value report) {
  std::lock_guard lock(mutex_);
  reports_.push_back(std::move(report));
  if (reports_.size() > kMaxReports) reports_.pop_front();
}

std::vector<Value> ReportBook::reports() const {
  std::lock_guard lock(mutex_);
  return {reports_.begin(), reports_.end()};
}

size_t ReportBook::size() const {
  std::lock_guard lock(mutex_);
  return reports_.size();
}

void ReportBook::clear() {
  std::lock_guard lock(mutex_);
  reports_.clear();
}

}  // namespace vexa::service
