#include "vexa/http/QLURLRequest.h"

#include <algorithm>
#include <cctype>

namespace vexa {

bool qlHeaderNameEquals(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

std::optional<std::string> QLURLRequest::header(std::string_view name) const {
  for (const auto& [n, v] : headers_) {
    if (qlHeaderNameEquals(n, name)) return v;
  }
  return std::nullopt;
}

void QLURLRequest::setHeader(std::string_view name, std::string value) {
  for (auto& [n, v] : headers_) {
    if (qlHeaderNameEquals(n, name)) {
      v = std::move(value);
      return;
    }
  }
  headers_.emplace_back(std::string(name), std::move(value));
}

void QLURLRequest::removeHeader(std::string_view name) {
  headers_.erase(std::remove_if(headers_.begin(), headers_.end(),
                                [&](const auto& h) { return qlHeaderNameEquals(h.first, name); }),
                 headers_.end());
}

}  // namespace vexa
