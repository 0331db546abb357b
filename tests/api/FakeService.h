// A stand-in for the emoticon service on a loopback port: answers token
// requests, lets each test script the answers of other paths, and checks
// nothing itself, so tests can inspect exactly what arrived.
#pragma once

#include <openssl/evp.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "support/LoopbackServer.h"

namespace vexa::test {

// Independent of the SDK: OpenSSL's MD5, upper-case hex.
inline std::string md5Upper(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr);
  char hex[2 * EVP_MAX_MD_SIZE + 1];
  for (unsigned int i = 0; i < length; ++i) std::snprintf(hex + 2 * i, 3, "%02X", digest[i]);
  return std::string(hex, 2 * length);
}

inline std::string percentDecode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

// The query's pairs in the order sent, decoded.
inline std::vector<std::pair<std::string, std::string>> queryPairs(const std::string& query) {
  std::vector<std::pair<std::string, std::string>> out;
  size_t start = 0;
  while (start <= query.size() && !query.empty()) {
    size_t amp = query.find('&', start);
    std::string item = query.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
    size_t eq = item.find('=');
    out.emplace_back(percentDecode(item.substr(0, eq)),
                     eq == std::string::npos ? "" : percentDecode(item.substr(eq + 1)));
    if (amp == std::string::npos) break;
    start = amp + 1;
  }
  return out;
}

class FakeService {
 public:
  FakeService() {
    server.on("GET", "/api/v1/token", [this](const httplib::Request& req, httplib::Response& res) {
      std::string op = req.get_param_value("op");
      if (op == "refresh") ++refreshes; else ++grants;
      std::string scripted;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        scripted = tokenAnswer_;
      }
      if (!scripted.empty()) {
        res.set_content(scripted, "application/json");
        return;
      }
      int n = ++tokensIssued;
      res.set_content("{\"error_code\":0,\"data\":{\"access_token\":\"TOKEN-" + std::to_string(n) + "\"}}",
                      "application/json");
    });
  }
  std::string apiBase() const { return server.origin() + "/api/v1"; }
  // Answers `path` with the given bodies in turn, the last one from then on.
  void script(const std::string& method, const std::string& path, std::vector<std::string> bodies,
              std::string contentType = "application/json", int status = 200) {
    auto calls = std::make_shared<std::atomic<size_t>>(0);
    server.on(method, path, [bodies, calls, contentType, status](const httplib::Request&, httplib::Response& res) {
      size_t i = std::min(calls->fetch_add(1), bodies.size() - 1);
      res.status = status;
      res.set_content(bodies[i], contentType.c_str());
    });
  }

  LoopbackServer server;
  std::atomic<int> grants{0};
  std::atomic<int> refreshes{0};
  std::atomic<int> tokensIssued{0};
  // Replaces the token answer (empty: issue "TOKEN-<n>").
  void setTokenAnswer(std::string body) {
    std::lock_guard<std::mutex> lock(mutex_);
    tokenAnswer_ = std::move(body);
  }

 private:
  std::mutex mutex_;
  std::string tokenAnswer_;
};

}  // namespace vexa::test
