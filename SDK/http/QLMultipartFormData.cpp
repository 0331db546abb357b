#include "vexa/http/QLMultipartFormData.h"

#include <algorithm>

#include "vexa/platform/Uuid.h"

namespace vexa {

QLMultipartFormData::QLMultipartFormData() {
  std::string hex = Uuid::random();
  hex.erase(std::remove(hex.begin(), hex.end(), '-'), hex.end());
  boundary_ = "Boundary+" + hex;
}

std::string QLMultipartFormData::escapeParameter(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '"': out += "%22"; break;
      case '\r': out += "%0D"; break;
      case '\n': out += "%0A"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

void QLMultipartFormData::appendPartWithFormData(std::string_view data, std::string_view name) {
  parts_.push_back(
      {{{"Content-Disposition", "form-data; name=\"" + escapeParameter(name) + "\""}},
       std::string(data)});
}

void QLMultipartFormData::appendPartWithFileData(std::string_view data, std::string_view name,
                                                 std::string_view fileName,
                                                 std::string_view mimeType) {
  Headers headers{{"Content-Disposition", "form-data; name=\"" + escapeParameter(name) +
                                              "\"; filename=\"" + escapeParameter(fileName) + "\""}};
  std::string type = escapeParameter(mimeType);
  if (!type.empty()) headers.emplace_back("Content-Type", type);
  parts_.push_back({std::move(headers), std::string(data)});
}

void QLMultipartFormData::appendPartWithHeaders(Headers headers, std::string_view body) {
  auto unsafe = [](const std::pair<std::string, std::string>& h) {
    auto bad = [](const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; };
    return bad(h.first) || bad(h.second) || h.first.find(':') != std::string::npos;
  };
  headers.erase(std::remove_if(headers.begin(), headers.end(), unsafe), headers.end());
  parts_.push_back({std::move(headers), std::string(body)});
}

std::string QLMultipartFormData::contentType() const {
  return "multipart/form-data; boundary=" + boundary_;
}

std::string QLMultipartFormData::body() const {
  std::string out;
  for (const Part& part : parts_) {
    out += "--" + boundary_ + "\r\n";
    for (const auto& [name, value] : part.headers) out += name + ": " + value + "\r\n";
    out += "\r\n";
    out += part.body;
    out += "\r\n";
  }
  out += "--" + boundary_ + "--\r\n";
  return out;
}

}  // namespace vexa
