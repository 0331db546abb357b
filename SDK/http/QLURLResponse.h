// The head of an HTTP response: status, headers and the URL that answered
// (after redirects). A plain value, safe to copy between threads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexa {

class QLURLResponse {
 public:
  using Headers = std::vector<std::pair<std::string, std::string>>;

  QLURLResponse() = default;
  QLURLResponse(std::string url, long statusCode, Headers headers)
      : url_(std::move(url)), statusCode_(statusCode), headers_(std::move(headers)) {}

  const std::string& url() const { return url_; }
  long statusCode() const { return statusCode_; }
  const Headers& headers() const { return headers_; }
  // The last header of that name (any case).
  std::optional<std::string> header(std::string_view name) const;

  // The Content-Type without parameters, lower case; "application/octet-stream"
  // when the server named none.
  std::string mimeType() const;
  // The announced body length, or -1 when unknown.
  int64_t expectedContentLength() const;

  // The standard text of a status code ("not found" for 404), lower case.
  static std::string localizedStringForStatusCode(long statusCode);

 private:
  std::string url_;
  long statusCode_ = 0;
  Headers headers_;
};

}  // namespace vexa
