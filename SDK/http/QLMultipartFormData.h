// A multipart/form-data body under construction (file uploads).
//
// Parts keep the order in which they were appended. Names and file names are
// written into quoted header parameters with '"', CR and LF escaped as
// %22, %0D and %0A, so no part can forge headers of its own. The boundary is
// random (128 bits). Not thread-safe; build it on one thread.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexa {

class QLMultipartFormData {
 public:
  using Headers = std::vector<std::pair<std::string, std::string>>;

  QLMultipartFormData();
  // With a fixed boundary (tests).
  explicit QLMultipartFormData(std::string boundary) : boundary_(std::move(boundary)) {}

  // A plain form field.
  void appendPartWithFormData(std::string_view data, std::string_view name);
  // A file field.
  void appendPartWithFileData(std::string_view data, std::string_view name,
                              std::string_view fileName, std::string_view mimeType);
  // A part with headers of the caller's choosing; values must not hold CR or LF
  // (such headers are dropped).
  void appendPartWithHeaders(Headers headers, std::string_view body);

  const std::string& boundary() const { return boundary_; }
  // "multipart/form-data; boundary=..."
  std::string contentType() const;
  // The encoded body: every part, then the closing boundary.
  std::string body() const;
  size_t partCount() const { return parts_.size(); }

  // The text as a quoted-string parameter may hold it.
  static std::string escapeParameter(std::string_view text);

 private:
  struct Part {
    Headers headers;
    std::string body;
  };
  std::string boundary_;
  std::vector<Part> parts_;
};

}  // namespace vexa
