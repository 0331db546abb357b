// Faults the service injects on purpose, for tests of clients: a delay, an
// HTTP status, a body cut short (the connection closes after the given
// number of bytes although the announced length is larger), or a wrong
// content type, for requests whose method and path match a rule.
//
// Rules are tried in the order they were added; the first that matches
// applies, and counts down its `times` when it has one. Thread-safe.
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::service {

class FaultPlan {
 public:
  struct Rule {
    std::string method{};          // "GET", "POST"...; empty matches any
    std::string pathPattern = "*"; // shell pattern over the decoded path ("/api/v1/category")
    std::chrono::milliseconds latency{0};
    std::optional<int> status{};
    std::optional<size_t> truncateAfter{};
    std::optional<std::string> contentType{};
    std::optional<int> times{};    // applies to this many matching requests; none: all

    // A short text for the request log, e.g. "status 500, latency 200ms".
    std::string describe() const;
  };

  void add(Rule rule);
  void clear();
  // The rule for this request, counting one application; none when no rule
  // matches.
  std::optional<Rule> match(std::string_view method, std::string_view path);

 private:
  std::mutex mutex_;
  std::vector<Rule> rules_;  // GUARDED_BY(mutex_)
};

}  // namespace vexa::service
