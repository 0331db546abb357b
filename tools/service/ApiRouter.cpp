#include "service/ApiRouter.h"

namespace vexa::service {

namespace {

std::vector<std::string_view> split(std::string_view pattern) {
  std::vector<std::string_view> parts;
  for (size_t start = 0; start <= pattern.size();) {
    size_t end = std::min(pattern.find('/', start), pattern.size());
    parts.push_back(pattern.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

void ApiRouter::add(std::string method, std::string pattern, Handler handler, bool authenticated) {
  routes_.push_back(Route{std::move(method), std::move(pattern), authenticated, std::move(handler)});
}

std::optional<ApiRouter::Match> ApiRouter::match(std::string_view method,
                                                 const std::vector<std::string>& segments) const {
  for (const auto& route : routes_) {
    auto parts = split(route.pattern);
    if (parts.size() != segments.size()) continue;
    Match m;
    bool same = true;
    for (size_t i = 0; i < parts.size() && same; ++i) {
      if (parts[i] == "{}") {
        m.args.push_back(segments[i]);
      } else {
        same = parts[i] == segments[i];
      }
    }
    if (!same) continue;
    m.route = &route;
    m.methodAllowed = route.method == method;
    return m;
  }
  return std::nullopt;
}

}  // namespace vexa::service
