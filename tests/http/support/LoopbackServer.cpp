#include "support/LoopbackServer.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vexa::test {

std::string LoopbackServer::Recorded::header(const std::string& name) const {
  for (const auto& [n, v] : headers) {
    if (strcasecmp(n.c_str(), name.c_str()) == 0) return v;
  }
  return {};
}

LoopbackServer::LoopbackServer() : server_(std::make_unique<httplib::Server>()) { start(); }

LoopbackServer::LoopbackServer(const std::filesystem::path& certificate,
                               const std::filesystem::path& key)
    : server_(std::make_unique<httplib::SSLServer>(certificate.c_str(), key.c_str())), secure_(true) {
  start();
}

void LoopbackServer::start() {
  auto handler = [this](const httplib::Request& req, httplib::Response& res) { dispatch(req, res); };
  for (const char* pattern : {".*"}) {
    server_->Get(pattern, handler);
    server_->Post(pattern, handler);
    server_->Put(pattern, handler);
    server_->Patch(pattern, handler);
    server_->Delete(pattern, handler);
    server_->Options(pattern, handler);
  }
  // Short, so that stopping does not wait long on idle kept-alive connections.
  server_->set_keep_alive_timeout(1);
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  // The socket listens from bind on; early connections wait in its backlog.
}

LoopbackServer::~LoopbackServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  stopped_.notify_all();
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::string LoopbackServer::origin() const {
  return std::string(secure_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_);
}

void LoopbackServer::on(const std::string& method, const std::string& path, Handler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handlers_[{method, path}] = std::move(handler);
}

void LoopbackServer::dispatch(const httplib::Request& request, httplib::Response& response) {
  Recorded r;
  r.method = request.method;
  size_t q = request.target.find('?');
  r.path = request.target.substr(0, q);
  r.query = q == std::string::npos ? std::string() : request.target.substr(q + 1);
  for (const auto& [n, v] : request.headers) r.headers.emplace(n, v);
  r.body = request.body;
  r.remotePort = request.remote_port;
  Handler handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(r);
    auto it = handlers_.find({request.method, r.path});
    if (it == handlers_.end() && request.method == "HEAD") it = handlers_.find({"GET", r.path});
    if (it != handlers_.end()) handler = it->second;
  }
  if (handler) {
    handler(request, response);
  } else {
    response.status = 404;
    response.set_content("{\"error\":\"no handler\"}", "application/json");
  }
}

std::vector<LoopbackServer::Recorded> LoopbackServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

size_t LoopbackServer::requestCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_.size();
}

std::vector<LoopbackServer::Recorded> LoopbackServer::requestsFor(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Recorded> out;
  for (const auto& r : requests_) {
    if (r.path == path) out.push_back(r);
  }
  return out;
}

void LoopbackServer::stall(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  stopped_.wait_for(lock, limit, [this] { return stopping_; });
}

TestCertificate TestCertificate::create(const std::filesystem::path& directory) {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  X509* cert = X509_new();
  ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), 24 * 3600);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0);
  X509_set_issuer_name(cert, name);
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
  for (auto [nid, value] : {std::pair{NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1"},
                            std::pair{NID_basic_constraints, "critical,CA:TRUE"}}) {
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
  }
  X509_sign(cert, key, EVP_sha256());

  TestCertificate out;
  out.certificate = directory / "cert.pem";
  out.key = directory / "key.pem";
  FILE* f = std::fopen(out.certificate.c_str(), "w");
  PEM_write_X509(f, cert);
  std::fclose(f);
  f = std::fopen(out.key.c_str(), "w");
  PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr);
  std::fclose(f);
  std::ifstream in(out.certificate);
  std::stringstream text;
  text << in.rdbuf();
  out.certificatePem = text.str();
  X509_free(cert);
  EVP_PKEY_free(key);
  return out;
}

}  // namespace vexa::test
