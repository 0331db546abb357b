#include "service/EmoticonService.h"

#include <httplib.h>
#include <sys/socket.h>

#include <atomic>

#include "vexa/platform/JsonCodec.h"
#include "vexa/platform/UrlEscaping.h"
#include "service/FileHost.h"
#include "service/QueryString.h"

namespace vexa::service {

const char* const EmoticonService::kErrorDomain = "VXServiceErrorDomain";

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kJsonType = "application/json; charset=utf-8";

int64_t millisecondsSince1970() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// The request's query for the log, with secrets masked.
Value loggedQuery(std::string_view rawQuery) {
  auto params = QueryString::parse(rawQuery);
  if (!params) return std::string(rawQuery.substr(0, 512));
  if (auto it = params->find("secret"); it != params->end()) it->second = "***";
  return Value(std::move(*params));
}

}  // namespace

EmoticonService::EmoticonService(Options options)
    : options_(std::move(options)),
      tokens_(options_.tokenLifetime),
      dispatcher_(tokens_, reports_),
      server_(std::make_unique<httplib::Server>()) {
  tokens_.addApp(kDemoAppId, kDemoAppSecret);
}

Result<std::unique_ptr<EmoticonService>> EmoticonService::start(Options options) {
  if (!options.catalog) return Error(kErrorDomain, 1, "the service needs a catalogue");
  std::unique_ptr<EmoticonService> service(new EmoticonService(std::move(options)));
  httplib::Server& server = *service->server_;
  auto handler = [s = service.get()](const httplib::Request& req, httplib::Response& res) {
    s->handle(req, res);
  };
  server.Get(".*", handler);
  server.Post(".*", handler);
  server.Put(".*", handler);
  server.Patch(".*", handler);
  server.Delete(".*", handler);
  server.Options(".*", handler);
  server.set_payload_max_length(service->options_.maxBodyBytes);
  // The library's default also sets SO_REUSEPORT, which lets a second
  // service bind a port already in use and silently take half its
  // connections; a busy port must be an error instead.
  server.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });

  const Options& o = service->options_;
  if (o.port == 0) {
    service->port_ = server.bind_to_any_port(o.host);
  } else if (server.bind_to_port(o.host, o.port)) {
    service->port_ = o.port;
  } else {
    service->port_ = -1;
  }
  if (service->port_ <= 0) {
    return Error(kErrorDomain, 2,
                 "cannot listen on " + o.host + (o.port ? ":" + std::to_string(o.port) : std::string()));
  }
  auto ended = std::make_shared<std::atomic<bool>>(false);
  service->thread_ = std::thread([&server, ended] {
    server.listen_after_bind();
    *ended = true;
  });
  // stop() only reaches a server that runs, so wait until it does (or has
  // already given up).
  while (!server.is_running() && !*ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (*ended) {
    service->thread_.join();
    return Error(kErrorDomain, 3, "the server stopped as soon as it started");
  }
  return service;
}

EmoticonService::~EmoticonService() { stop(); }

void EmoticonService::stop() {
  {
    std::lock_guard lock(stopMutex_);
    stopping_ = true;
  }
  stopped_.notify_all();
  std::call_once(stopOnce_, [this] {
    server_->stop();
    if (thread_.joinable()) thread_.join();
  });
}

void EmoticonService::pause(std::chrono::milliseconds delay) {
  std::unique_lock lock(stopMutex_);
  stopped_.wait_for(lock, delay, [this] { return stopping_; });
}

std::string EmoticonService::baseUrl() const { return "http://" + options_.host + ":" + std::to_string(port_); }
std::string EmoticonService::publicBase() const {
  return options_.publicBaseUrl.empty() ? baseUrl() : options_.publicBaseUrl;
}
std::string EmoticonService::apiBase() const { return publicBase() + "/api/v1"; }
std::string EmoticonService::filesBase() const { return publicBase() + FileHost::kPrefix; }
std::string EmoticonService::termsUrl() const { return publicBase() + FileHost::kTermsPath; }

void EmoticonService::handle(const httplib::Request& req, httplib::Response& res) {
  auto started = Clock::now();
  ApiRequest request{req.method, req.target, req.get_header_value("Host"),
                     req.get_header_value("Content-Type"), req.body};
  std::string path = UrlEscaping::unescape(request.rawPath());
  Value entry = Value::dict({{"time", millisecondsSince1970()}, {"method", req.method}, {"path", path},
                             {"query", loggedQuery(request.rawQuery())}});
  if (!req.body.empty()) {
    auto body = JsonCodec::parse(req.body);
    entry["body"] = body ? *body : Value(std::to_string(req.body.size()) + " bytes");
  }

  auto fault = faults_.match(req.method, path);
  if (fault) {
    entry["fault"] = fault->describe();
    if (fault->latency.count() > 0) pause(fault->latency);
  }

  int status = 200;
  std::string type = kJsonType;
  std::string body;
  if (fault && fault->status) {
    status = *fault->status;
    body = JsonCodec::serialize(Value::dict({{"error_code", *fault->status}, {"message", "injected fault"}}));
  } else if (FileHost::handles(path)) {
    if (req.method == "GET" || req.method == "HEAD") {
      auto reply = FileHost::serve(*options_.catalog, path);
      status = reply.status;
      type = reply.contentType;
      body = std::move(reply.body);
    } else {
      status = 405;
      type = "text/plain; charset=utf-8";
      body = "use GET\n";
    }
  } else {
    auto reply = dispatcher_.dispatch(request, *options_.catalog, options_.host + ":" + std::to_string(port_),
                                      filesBase());
    status = reply.status;
    body = JsonCodec::serialize(reply.envelope);
    if (!reply.route.empty()) entry["route"] = reply.route;
    if (const Value* code = reply.envelope.find("error_code")) entry["error_code"] = *code;
  }
  if (fault && fault->contentType) type = *fault->contentType;

  res.status = status;
  // Idle keep-alive connections would hold stop() for the keep-alive timeout;
  // loopback connections are cheap, so each answer ends its connection.
  res.set_header("Connection", "close");
  if (fault && fault->truncateAfter && *fault->truncateAfter < body.size()) {
    // Announce the whole length, send the start, then drop the connection.
    size_t keep = *fault->truncateAfter;
    auto shared = std::make_shared<std::string>(std::move(body));
    res.set_content_provider(shared->size(), type,
                             [shared, keep](size_t offset, size_t, httplib::DataSink& sink) {
                               if (offset >= keep) return false;
                               sink.write(shared->data() + offset, keep - offset);
                               return true;
                             });
  } else {
    res.set_content(body, type);
  }
  entry["status"] = status;
  entry["ms"] = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
  log_.append(std::move(entry));
}

}  // namespace vexa::service
