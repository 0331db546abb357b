// The reference emoticon service: an HTTP server on a loopback port that
// speaks the service's protocol (signed requests, access tokens, the answer
// envelope) over a catalogue, serves the package files and the terms page,
// and lets tests inject faults and read back its request log and the usage
// reports it accepted.
//
//   auto service = EmoticonService::start({.catalog = catalog});  // port 0: the OS picks
//   if (service) std::string api = (*service)->apiBase();           // "http://127.0.0.1:<port>/api/v1"
//
// The server answers on its own threads; every public member may be called
// from any thread. Destroying the service stops it and waits for its
// threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "vexa/platform/Result.h"
#include "service/ApiDispatcher.h"
#include "service/Catalog.h"
#include "service/FaultPlan.h"
#include "service/ReportBook.h"
#include "service/RequestLog.h"
#include "service/TokenRegistry.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace vexa::service {

class EmoticonService {
 public:
  // The application every service knows; the demo and the tests use it.
  static constexpr const char* kDemoAppId = "vexa-demo";
  static constexpr const char* kDemoAppSecret = "vexa-demo-secret";
  static const char* const kErrorDomain;  // "VXServiceErrorDomain"

  struct Options {
    std::shared_ptr<const Catalog> catalog{};  // required
    std::string host = "127.0.0.1";
    int port = 0;                            // 0: a free port chosen by the OS
    // Base of the URLs in answers (images, archives); default baseUrl().
    std::string publicBaseUrl{};
    std::chrono::seconds tokenLifetime = std::chrono::hours(2);
    size_t maxBodyBytes = size_t(1) << 20;
  };

  // Binds the port and starts serving before it returns.
  static Result<std::unique_ptr<EmoticonService>> start(Options options);
  ~EmoticonService();
  EmoticonService(const EmoticonService&) = delete;
  EmoticonService& operator=(const EmoticonService&) = delete;

  // Stops serving and waits for the server's threads; idempotent, and safe
  // to call from several threads.
  void stop();

  int port() const { return port_; }
  std::string baseUrl() const;   // "http://127.0.0.1:<port>"
  std::string apiBase() const;   // "<public base>/api/v1"
  std::string filesBase() const; // "<public base>/files/"
  std::string termsUrl() const;  // "<public base>/pages/sdk/term.html"

  TokenRegistry& tokens() { return tokens_; }
  FaultPlan& faults() { return faults_; }
  RequestLog& log() { return log_; }
  ReportBook& reports() { return reports_; }
  const Catalog& catalog() const { return *options_.catalog; }

 private:
  explicit EmoticonService(Options options);
  void handle(const httplib::Request& request, httplib::Response& response);
  // Sleeps for the delay unless the service stops first.
  void pause(std::chrono::milliseconds delay);
  std::string publicBase() const;

  Options options_;
  int port_ = 0;
  TokenRegistry tokens_;
  ReportBook reports_;
  FaultPlan faults_;
  RequestLog log_;
  ApiDispatcher dispatcher_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  std::once_flag stopOnce_;
  std::mutex stopMutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;  // GUARDED_BY(stopMutex_)
};

}  // namespace vexa::service
