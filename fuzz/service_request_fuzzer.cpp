// Requests as a client sends them to the reference service: the API's
// routing, query and body parsing, signature and token checks and every
// handler. Half of the inputs are sent raw; the other half are signed with a
// valid token by this target, so that fuzzed parameters and bodies also
// reach the handlers behind the checks.
// Links: vexa_service
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "vexa/platform/UrlEscaping.h"
#include "service/ApiDispatcher.h"
#include "service/CatalogLoader.h"
#include "service/FileHost.h"
#include "service/QueryString.h"
#include "service/RequestSignature.h"

namespace {

namespace fs = std::filesystem;
using namespace vexa;
using namespace vexa::service;

constexpr const char* kHost = "127.0.0.1:1";
constexpr const char* kCatalog =
    R"({"packages":[{"guid":"p1","name":"Small","is_emoji":true,"cover":"img/a.png","chat_icon":"img/a.png",)"
    R"("emoticions":[{"guid":"e1","emo_code":"微笑","thumbail":"img/a.png","main_image":"img/b.gif"},)"
    R"({"guid":"e2","emo_code":"ok hand","thumbail":"img/a.png","main_image":"img/b.gif"}]},)"
    R"({"guid":"p2","name":"Big","is_emoji":false,"cover":"img/a.png","chat_icon":"img/a.png",)"
    R"("emoticions":[{"guid":"e3","emo_code":"早安","thumbail":"img/a.png","main_image":"img/b.gif"}]}],)"
    R"("defaultCategory":{"guid":"c1","name":"d","packages":["p1"]},)"
    R"("bannerGroups":[{"guid":"b1","name":"b","packages":["p2"]}],)"
    R"("shopCategories":[{"guid":"c2","name":"s","packages":["p1","p2"]}]})";

// Routes reachable by signed requests; "{}" takes the fuzzed argument.
const char* const kRoutes[][2] = {
    {"GET", "ad_banner/index"},       {"GET", "category"},          {"GET", "category/code/default"},
    {"GET", "category/code/recommend"}, {"GET", "package/{}"},      {"GET", "package/{}/emojis"},
    {"GET", "emoji/{}"},              {"GET", "emoji/code/{}"},     {"GET", "callback/package/{}"},
    {"GET", "checkpackage/new"},      {"POST", "callback/emojis/usage"}, {"POST", "emoji/codes"},
    {"POST", "emoji/small_emo_code"}, {"POST", "emoji/big_emo_code"}, {"GET", "token"},
};

struct Fixture {
  Fixture() {
    char pattern[] = "/tmp/vexa-request-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();  // never the shared directory, which is removed at exit
    dir = pattern;
    fs::create_directories(dir / "img");
    std::ofstream(dir / "img/a.png", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n", 8);
    std::ofstream(dir / "img/b.gif", std::ios::binary) << "GIF89a";
    auto loaded = CatalogLoader::parse(kCatalog, dir);
    if (loaded) catalog = *loaded;
    tokens.addApp("app", "secret");
    token = tokens.issue("app");
  }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path dir;
  std::shared_ptr<const Catalog> catalog;
  TokenRegistry tokens;
  ReportBook reports;
  ApiDispatcher dispatcher{tokens, reports};
  std::string token;
};

std::string escaped(const std::string& text) { return UrlEscaping::escape(text, ":/?&=;+!@#$()',*[]", ""); }

void appendPair(std::string& query, const std::string& key, const Value& value) {
  if (!query.empty()) query += '&';
  query += key;
  if (!value.isNull()) query += "=" + escaped(value.description());
}

// The parameters back in query form, as the SDK's serializer writes them.
std::string encode(const Value::Dictionary& params) {
  std::string query;
  for (const auto& [key, value] : params) {
    std::string k = escaped(key);
    if (const auto* list = value.asArray()) {
      for (const auto& v : *list) appendPair(query, k + "[]", v);
    } else if (const auto* dict = value.asDictionary()) {
      for (const auto& [sub, v] : *dict) appendPair(query, k + "[" + escaped(sub) + "]", v);
    } else {
      appendPair(query, k, value);
    }
  }
  return query;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture f;
  if (!f.catalog || size == 0) return 0;
  std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  size_t newline = input.find('\n');
  std::string head = input.substr(0, newline);
  std::string body = newline == std::string::npos ? std::string() : input.substr(newline + 1);

  ApiRequest request;
  request.host = kHost;
  request.contentType = "application/json";
  request.body = body;
  uint8_t selector = data[0];
  if (selector < 128) {
    static const char* const kMethods[] = {"GET", "POST", "PUT", "HEAD"};
    request.method = kMethods[selector % 4];
    request.target = head;
    if (FileHost::handles(UrlEscaping::unescape(request.rawPath())))
      (void)FileHost::serve(*f.catalog, UrlEscaping::unescape(request.rawPath()));
  } else {
    const auto& route = kRoutes[(selector - 128) % std::size(kRoutes)];
    // The head is "argument?extra parameters".
    size_t q = head.find('?');
    std::string argument = UrlEscaping::escape(head.substr(0, q), "?#", "");
    auto extra = QueryString::parse(q == std::string::npos ? std::string_view() : std::string_view(head).substr(q + 1));
    if (!extra) return 0;
    std::string path = route[1];
    if (size_t slot = path.find("{}"); slot != std::string::npos) path.replace(slot, 2, argument);
    Value::Dictionary params = *extra;
    params["timestamp"] = "1700000000000";
    params["device_no"] = "DEVICE";
    params["os"] = "6.1";
    params["access_token"] = f.token;
    std::string rawPath = std::string(ApiDispatcher::kPrefix) + path;
    params["signature"] = RequestSignature::compute(std::string("http://") + kHost + rawPath, params);
    request.method = route[0];
    request.target = rawPath + "?" + encode(params);
  }
  auto reply = f.dispatcher.dispatch(request, *f.catalog, kHost, "http://127.0.0.1:1/files/");
  (void)reply;
  if (f.reports.size() > 1000) f.reports.clear();
  return 0;
}
