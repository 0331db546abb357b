// One HTTP request as the service's API sees it, independent of the server
// library, so that the dispatcher can be tested and fuzzed without sockets.
#pragma once

#include <string>
#include <string_view>

namespace vexa::service {

struct ApiRequest {
  std::string method;       // upper case
  std::string target;       // the request target as received: raw path and query
  std::string host;         // the Host header; empty when absent
  std::string contentType;  // the Content-Type header
  std::string body;

  std::string_view rawPath() const { return std::string_view(target).substr(0, target.find('?')); }
  std::string_view rawQuery() const {
    size_t q = target.find('?');
    return q == std::string::npos ? std::string_view() : std::string_view(target).substr(q + 1);
  }
};

}  // namespace vexa::service
