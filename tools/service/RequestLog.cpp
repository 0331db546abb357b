#include "service/RequestLog.h"

#include "vexa/platform/JsonCodec.h"

namespace vexa::service {

void RequestLog::append(Value entry) {
  std::lock_guard lock(mutex_);
  entry["seq"] = nextSeq_++;
  if (sink_) sink_(JsonCodec::serialize(entry));
  entries_.push_back(std::move(entry));
  if (entries_.size() > kMaxEntries) entries_.pop_front();
}

std::vector<Value> RequestLog::entries() const {
  std::lock_guard lock(mutex_);
  return {entries_.begin(), entries_.end()};
}

std::string RequestLog::jsonLines() const {
  std::lock_guard lock(mutex_);
  std::string text;
  for (const auto& entry : entries_) text += JsonCodec::serialize(entry) + "\n";
  return text;
}

size_t RequestLog::size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

void RequestLog::clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

void RequestLog::setSink(Sink sink) {
  std::lock_guard lock(mutex_);
  sink_ = std::move(sink);
}

}  // namespace vexa::service
