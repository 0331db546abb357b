// Response heads as a server may send them: header lines, the announced
// length and type, and a redirect's Location resolved and stripped of
// private query items the way a redirect is followed.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "vexa/http/QLResponseHeadParser.h"
#include "vexa/http/QLURL.h"
#include "vexa/http/QLURLResponse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  QLResponseHeadParser head;
  static const auto base = QLURL::parse("https://api.example/api/v1/");
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
    text.remove_prefix(line.size());
    if (head.feed(line) != QLResponseHeadParser::Line::EndOfHead) continue;
    QLURLResponse response("https://api.example/api/v1/x", head.statusCode(), head.headers());
    (void)response.mimeType();
    (void)response.expectedContentLength();
    (void)QLURLResponse::localizedStringForStatusCode(response.statusCode());
    if (auto location = response.header("Location")) {
      auto target = base->resolve(*location);
      if (target) {
        (void)target->sameOrigin(*base);
        (void)target->removingQueryItems({"access_token", "signature", "secret"}).string();
        (void)target->withTrailingSlash().appendingQuery("a=1").string();
      }
    }
    head.reset();
  }
  return 0;
}
