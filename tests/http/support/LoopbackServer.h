// A small HTTP(S) server on a loopback port chosen by the system, for tests
// that check what a client puts on the wire. It records every request and
// answers through handlers registered per method and path (404 otherwise).
// Handlers run on the server's threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <httplib.h>

namespace vexa::test {

class LoopbackServer {
 public:
  struct Recorded {
    std::string method;
    std::string path;    // as sent, still escaped
    std::string query;   // raw text after "?", empty when none
    std::multimap<std::string, std::string> headers;
    std::string body;
    int remotePort = 0;  // tells connections apart
    std::string header(const std::string& name) const;
  };
  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

  // Plain HTTP.
  LoopbackServer();
  // HTTPS with the given PEM certificate and key files.
  LoopbackServer(const std::filesystem::path& certificate, const std::filesystem::path& key);
  ~LoopbackServer();

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" (or https).
  std::string origin() const;

  void on(const std::string& method, const std::string& path, Handler handler);

  std::vector<Recorded> requests() const;
  size_t requestCount() const;
  // Requests for one path, in arrival order.
  std::vector<Recorded> requestsFor(const std::string& path) const;

  // Blocks a handler for up to `limit`, returning early when the server stops.
  void stall(std::chrono::milliseconds limit);

 private:
  void start();
  void dispatch(const httplib::Request& request, httplib::Response& response);

  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  bool secure_ = false;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::map<std::pair<std::string, std::string>, Handler> handlers_;
  std::vector<Recorded> requests_;
};

// A self-signed certificate for "localhost" and 127.0.0.1 with its key, in
// PEM files under `directory`.
struct TestCertificate {
  std::filesystem::path certificate;
  std::filesystem::path key;
  std::string certificatePem;
  static TestCertificate create(const std::filesystem::path& directory);
};

}  // namespace vexa::test
