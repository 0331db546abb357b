#include "service/FaultPlan.h"

#include <fnmatch.h>

namespace vexa::service {

std::string FaultPlan::Rule::describe() const {
  std::string text;
  auto part = [&text](const std::string& p) { text += (text.empty() ? "" : ", ") + p; };
  if (latency.count() > 0) part("latency " + std::to_string(latency.count()) + "ms");
  if (status) part("status " + std::to_string(*status));
  if (truncateAfter) part("truncated after " + std::to_string(*truncateAfter) + " bytes");
  if (contentType) part("content type " + *contentType);
  return text.empty() ? "no effect" : text;
}

void FaultPlan::add(Rule rule) {
  std::lock_guard lock(mutex_);
  rules_.push_back(std::move(rule));
}

void FaultPlan::clear() {
  std::lock_guard lock(mutex_);
  rules_.clear();
}

std::optional<FaultPlan::Rule> FaultPlan::match(std::string_view method, std::string_view path) {
  std::string p(path);
  std::lock_guard lock(mutex_);
  std::erase_if(rules_, [](const Rule& r) { return r.times && *r.times <= 0; });
  for (auto it = rules_.begin(); it != rules_.end(); ++it) {
    if (!it->method.empty() && it->method != method) continue;
    if (fnmatch(it->pathPattern.c_str(), p.c_str(), 0) != 0) continue;
    Rule applied = *it;
    if (it->times) --*it->times;
    return applied;
  }
  return std::nullopt;
}

}  // namespace vexa::service
