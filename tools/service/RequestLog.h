// The service's log: one JSON object per request, in arrival order of their
// completion, kept in memory (the newest kMaxEntries) and handed as a JSON
// line to an optional sink (a file, standard output).
//
// Entry keys: "seq", "time" (ms since 1970), "method", "path" (decoded),
// "query" (decoded parameters, secrets masked), "body" (the JSON body, when
// there is one), "status", "route", "error_code" (of an API answer),
// "fault" (an injected fault), "ms" (time taken). Thread-safe.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "vexa/platform/Value.h"

namespace vexa::service {

class RequestLog {
 public:
  using Sink = std::function<void(const std::string& line)>;
  static constexpr size_t kMaxEntries = 10000;

  // Numbers the entry ("seq", from 1) and keeps it; the sink gets its line.
  void append(Value entry);
  std::vector<Value> entries() const;
  // Every kept entry as one JSON line each.
  std::string jsonLines() const;
  size_t size() const;
  void clear();
  // The sink is called under the log's lock, so lines never interleave.
  void setSink(Sink sink);

 private:
  mutable std::mutex mutex_;
  std::deque<Value> entries_;  // GUARDED_BY(mutex_)
  int64_t nextSeq_ = 1;        // GUARDED_BY(mutex_)
  Sink sink_;                  // GUARDED_BY(mutex_)
};

}  // namespace vexa::service
