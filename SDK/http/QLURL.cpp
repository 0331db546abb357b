#include "vexa/http/QLURL.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>

#include "vexa/http/QLHTTPError.h"
#include "vexa/platform/UrlEscaping.h"

namespace vexa {

struct QLURL::Handle {
  CURLU* url;
  explicit Handle(CURLU* u) : url(u) {}
  ~Handle() { curl_url_cleanup(url); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
};

namespace {

std::optional<std::string> part(CURLU* url, CURLUPart which, unsigned flags = 0) {
  char* text = nullptr;
  if (curl_url_get(url, which, &text, flags) != CURLUE_OK || !text) return std::nullopt;
  std::string out(text);
  curl_free(text);
  return out;
}

Error invalid(std::string_view text, CURLUcode rc) {
  return qlHTTPRequestError(kQLHTTPRequestErrorInvalidURL,
                            "Invalid URL \"" + std::string(text) + "\": " + curl_url_strerror(rc));
}

}  // namespace

QLURL::QLURL(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
QLURL::QLURL(const QLURL& other) : handle_(std::make_unique<Handle>(curl_url_dup(other.handle_->url))) {}
QLURL& QLURL::operator=(const QLURL& other) {
  if (this != &other) handle_ = std::make_unique<Handle>(curl_url_dup(other.handle_->url));
  return *this;
}
QLURL::QLURL(QLURL&&) noexcept = default;
QLURL& QLURL::operator=(QLURL&&) noexcept = default;
QLURL::~QLURL() = default;

Result<QLURL> QLURL::parse(std::string_view text) {
  auto handle = std::make_unique<Handle>(curl_url());
  std::string owned(text);
  // Embedded NULs would cut the text short without notice.
  if (owned.find('\0') != std::string::npos) return invalid(text, CURLUE_MALFORMED_INPUT);
  CURLUcode rc = curl_url_set(handle->url, CURLUPART_URL, owned.c_str(), CURLU_NON_SUPPORT_SCHEME);
  if (rc != CURLUE_OK) return invalid(text, rc);
  return QLURL(std::move(handle));
}

Result<QLURL> QLURL::resolve(std::string_view relative) const {
  std::string owned(relative);
  if (owned.find('\0') != std::string::npos) return invalid(relative, CURLUE_MALFORMED_INPUT);
  auto handle = std::make_unique<Handle>(curl_url_dup(handle_->url));
  // An empty reference means "this URL"; libcurl refuses it.
  if (owned.empty()) return QLURL(std::move(handle));
  CURLUcode rc = curl_url_set(handle->url, CURLUPART_URL, owned.c_str(), CURLU_NON_SUPPORT_SCHEME);
  if (rc != CURLUE_OK) return invalid(relative, rc);
  return QLURL(std::move(handle));
}

std::string QLURL::string() const { return part(handle_->url, CURLUPART_URL).value_or(""); }

std::string QLURL::scheme() const {
  std::string s = part(handle_->url, CURLUPART_SCHEME).value_or("");
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

std::string QLURL::host() const { return part(handle_->url, CURLUPART_HOST).value_or(""); }

int QLURL::port() const {
  auto p = part(handle_->url, CURLUPART_PORT, CURLU_DEFAULT_PORT);
  if (!p) return 0;
  return std::atoi(p->c_str());
}

std::string QLURL::path() const { return part(handle_->url, CURLUPART_PATH).value_or("/"); }

std::optional<std::string> QLURL::query() const { return part(handle_->url, CURLUPART_QUERY); }

bool QLURL::sameOrigin(const QLURL& other) const {
  auto lower = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
  };
  return scheme() == other.scheme() && lower(host()) == lower(other.host()) &&
         port() == other.port();
}

QLURL QLURL::appendingQuery(std::string_view query) const {
  QLURL copy(*this);
  if (query.empty()) return copy;
  std::string q(query);
  auto existing = copy.query();
  if (existing && !existing->empty()) q = *existing + "&" + q;
  curl_url_set(copy.handle_->url, CURLUPART_QUERY, q.c_str(), 0);
  return copy;
}

QLURL QLURL::removingQueryItems(const std::set<std::string>& names) const {
  QLURL copy(*this);
  auto existing = copy.query();
  if (!existing || names.empty()) return copy;
  std::string kept;
  std::string_view rest = *existing;
  while (true) {
    size_t amp = rest.find('&');
    std::string_view item = rest.substr(0, amp);
    std::string_view name = item.substr(0, item.find('='));
    if (!item.empty() && !names.count(UrlEscaping::unescape(name))) {
      if (!kept.empty()) kept.push_back('&');
      kept.append(item);
    }
    if (amp == std::string_view::npos) break;
    rest.remove_prefix(amp + 1);
  }
  curl_url_set(copy.handle_->url, CURLUPART_QUERY, kept.empty() ? nullptr : kept.c_str(), 0);
  return copy;
}

QLURL QLURL::withTrailingSlash() const {
  QLURL copy(*this);
  std::string p = path();
  if (p.empty() || p.back() != '/') {
    p.push_back('/');
    curl_url_set(copy.handle_->url, CURLUPART_PATH, p.c_str(), 0);
  }
  return copy;
}

}  // namespace vexa
