#include "vexa/platform/UrlEscaping.h"

#include <cstdint>

namespace vexa {
namespace {

bool legalInUrl(unsigned char c) {
  if (c >= 'a' && c <= 'z') return true;
  if (c >= 'A' && c <= 'Z') return true;
  if (c >= '0' && c <= '9') return true;
  switch (c) {
    case '-': case '.': case '_': case '~':
    case '!': case '$': case '&': case '\'': case '(': case ')': case '*':
    case '+': case ',': case ';': case '=': case ':': case '/': case '?':
    case '@': case '#':
      return true;
    default:
      return false;
  }
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string UrlEscaping::escape(std::string_view text) { return escape(text, {}, {}); }

std::string UrlEscaping::escape(std::string_view text, std::string_view alsoEscape,
                                std::string_view leaveUnescaped) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    bool keep = leaveUnescaped.find(ch) != std::string_view::npos ||
                (legalInUrl(c) && alsoEscape.find(ch) == std::string_view::npos);
    if (keep) {
      out.push_back(ch);
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    }
  }
  return out;
}

std::string UrlEscaping::escapeURL(std::string_view url) {
  std::string out;
  out.reserve(url.size());
  size_t done = 0;
  for (size_t i = 0; i < url.size(); ++i) {
    if (url[i] == '%' && i + 2 < url.size() && hexValue(url[i + 1]) >= 0 &&
        hexValue(url[i + 2]) >= 0) {
      out += escape(url.substr(done, i - done));
      out.append(url.substr(i, 3));
      done = i + 3;
      i += 2;
    }
  }
  out += escape(url.substr(done));
  return out;
}

std::string UrlEscaping::unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace vexa
