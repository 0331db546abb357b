#include "vexa/platform/PropertyListXmlReader.h"

#include <charconv>
#include <cstring>

#include "vexa/platform/Base64.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/platform/Utf8.h"

namespace vexa {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One character reference without its "&#" and ";": decimal or lower-case
// hex, a Unicode scalar other than NUL.
bool characterReference(std::string_view ref, std::string& out) {
  int base = 10;
  if (!ref.empty() && ref[0] == 'x') {
    base = 16;
    ref.remove_prefix(1);
  }
  if (ref.empty() || ref.size() > 8) return false;
  uint32_t cp = 0;
  auto [end, ec] = std::from_chars(ref.data(), ref.data() + ref.size(), cp, base);
  if (ec != std::errc() || end != ref.data() + ref.size()) return false;
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  Utf8::append(out, cp);
  return true;
}

// Element text with its references resolved.
bool decodeText(std::string_view raw, std::string& out) {
  size_t amp = raw.find('&');
  if (amp == std::string_view::npos) {
    out.assign(raw);
    return true;
  }
  out.clear();
  out.reserve(raw.size());
  size_t from = 0;
  while (amp != std::string_view::npos) {
    out.append(raw, from, amp - from);
    const size_t semi = raw.find(';', amp);
    if (semi == std::string_view::npos) return false;
    const std::string_view name = raw.substr(amp + 1, semi - amp - 1);
    if (name == "amp") {
      out += '&';
    } else if (name == "lt") {
      out += '<';
    } else if (name == "gt") {
      out += '>';
    } else if (name == "quot") {
      out += '"';
    } else if (name == "apos") {
      out += '\'';
    } else if (name.empty() || name[0] != '#' || !characterReference(name.substr(1), out)) {
      return false;
    }
    from = semi + 1;
    amp = raw.find('&', from);
  }
  out.append(raw, from, std::string_view::npos);
  return true;
}

// Decimal digits only: other forms (octal, hex, signs, spaces, overflow)
// are the general path's.
bool parseInteger(std::string_view s, int64_t& out) {
  const bool negative = !s.empty() && s[0] == '-';
  if (negative) s.remove_prefix(1);
  if (s.empty() || (s[0] == '0' && s.size() > 1)) return false;
  uint64_t u = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), u);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  // Beyond the int64 range, the bits as an unsigned number, as stored.
  out = static_cast<int64_t>(negative ? 0 - u : u);
  return true;
}

// -?digits[.digits][e[+-]digits], or with the digits after the point only.
bool parseReal(std::string_view s, double& out) {
  size_t i = s.size() > 0 && s[0] == '-' ? 1 : 0;
  size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t exponent = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++exponent;
    if (exponent == 0) return false;
  }
  if (i != s.size()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// YYYY-MM-DDTHH:MM:SSZ, read as seconds since 2001-01-01 (stored as 32 bits).
bool parseDate(std::string_view s, double& out) {
  if (s.size() != 20 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' ||
      s[16] != ':' || s[19] != 'Z') {
    return false;
  }
  auto field = [&](size_t at, size_t len, int64_t lo, int64_t hi, int64_t& v) {
    v = 0;
    for (size_t i = at; i < at + len; ++i) {
      if (!isDigit(s[i])) return false;
      v = v * 10 + (s[i] - '0');
    }
    return v >= lo && v <= hi;
  };
  int64_t y, mo, d, h, mi, se;
  if (!field(0, 4, 0, 9999, y) || !field(5, 2, 1, 12, mo) || !field(8, 2, 1, 31, d) ||
      !field(11, 2, 0, 23, h) || !field(14, 2, 0, 59, mi) || !field(17, 2, 0, 59, se)) {
    return false;
  }
  const int64_t seconds =
      (daysFromCivil(y, mo, d) - daysFromCivil(2001, 1, 1)) * 86400 + h * 3600 + mi * 60 + se;
  if (seconds <= INT32_MIN || seconds > INT32_MAX) return false;
  out = static_cast<double>(seconds);
  return true;
}

// The base64 alphabet with white space anywhere, padding only at the end.
bool parseData(std::string_view s, Bytes& out) {
  size_t count = 0, padding = 0;
  for (char c : s) {
    if (isSpace(c)) continue;
    ++count;
    if (c == '=') {
      if (++padding > 2) return false;
    } else if (padding > 0 || !((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) ||
                                  c == '+' || c == '/')) {
      return false;
    }
  }
  if (count % 4 != 0) return false;
  auto decoded = Base64::decode(s);
  if (!decoded) return false;
  out = std::move(*decoded);
  return true;
}

class Parser {
 public:
  explicit Parser(std::string_view bytes) : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}

  std::optional<Result<Value>> document() {
    Value root;
    if (!prolog() || !skipMisc() || !value(root, 0)) {
      if (tooDeep_) {
        return Result<Value>(Error(PropertyList::kErrorDomain, PropertyList::kMalformed,
                                   "property list nests too deeply"));
      }
      return std::nullopt;
    }
    if (!skipMisc() || !take("</plist>") || !skipMisc() || p_ != end_) return std::nullopt;
    return Result<Value>(std::move(root));
  }

 private:
  bool startsWith(std::string_view s) const {
    return static_cast<size_t>(end_ - p_) >= s.size() && std::memcmp(p_, s.data(), s.size()) == 0;
  }
  bool take(std::string_view s) {
    if (!startsWith(s)) return false;
    p_ += s.size();
    return true;
  }
  // Moves past `s`; false when it does not occur.
  bool skipPast(std::string_view s) {
    const std::string_view rest(p_, static_cast<size_t>(end_ - p_));
    const size_t at = rest.find(s);
    if (at == std::string_view::npos) return false;
    p_ += at + s.size();
    return true;
  }
  void skipSpace() {
    while (p_ != end_ && isSpace(*p_)) ++p_;
  }
  // White space and comments.
  bool skipMisc() {
    for (;;) {
      skipSpace();
      if (!startsWith("<!--")) return true;
      p_ += 4;
      if (!skipPast("-->")) return false;
    }
  }

  // The declaration and document type as they are written; variants are
  // the general path's.
  bool prolog() {
    skipSpace();
    if (!take("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) (void)take("<?xml version=\"1.0\"?>");
    if (!skipMisc()) return false;
    if (take("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
             "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">") &&
        !skipMisc()) {
      return false;
    }
    return take("<plist>") || take("<plist version=\"1.0\">");
  }

  // The raw text up to the end tag `close`, which it moves past.
  bool textUntil(std::string_view close, std::string_view& raw) {
    const char* lt = static_cast<const char*>(std::memchr(p_, '<', static_cast<size_t>(end_ - p_)));
    if (!lt) return false;
    raw = std::string_view(p_, static_cast<size_t>(lt - p_));
    p_ = lt;
    return take(close);
  }

  bool value(Value& out, int depth) {
    if (depth > PropertyList::kMaxDepth) {
      tooDeep_ = true;
      return false;
    }
    if (end_ - p_ < 2 || *p_ != '<') return false;
    std::string_view raw;
    switch (p_[1]) {
      case 'd':
        if (take("<dict>")) return dict(out, depth);
        if (take("<dict/>")) return out = Value(Value::Dictionary()), true;
        if (take("<data/>")) return out = Value(Bytes()), true;
        if (take("<data>")) {
          Bytes bytes;
          if (!textUntil("</data>", raw) || !parseData(raw, bytes)) return false;
          out = Value(std::move(bytes));
          return true;
        }
        if (take("<date>")) {
          double seconds = 0;
          if (!textUntil("</date>", raw) || !parseDate(raw, seconds)) return false;
          out = Value(seconds);
          return true;
        }
        return false;
      case 'a':
        if (take("<array>")) return array(out, depth);
        if (take("<array/>")) return out = Value(Value::Array()), true;
        return false;
      case 's':
        if (take("<string/>")) return out = Value(std::string()), true;
        if (take("<string>")) {
          std::string s;
          if (!textUntil("</string>", raw) || !decodeText(raw, s)) return false;
          out = Value(std::move(s));
          return true;
        }
        return false;
      case 'i': {
        int64_t i = 0;
        if (!take("<integer>") || !textUntil("</integer>", raw) || !parseInteger(raw, i)) return false;
        out = Value(i);
        return true;
      }
      case 'r': {
        double d = 0;
        if (!take("<real>") || !textUntil("</real>", raw) || !parseReal(raw, d)) return false;
        out = Value(d);
        return true;
      }
      case 't':
        return take("<true/>") && (out = Value(true), true);
      case 'f':
        return take("<false/>") && (out = Value(false), true);
      default:
        return false;
    }
  }

  bool array(Value& out, int depth) {
    Value::Array items;
    for (;;) {
      if (!skipMisc()) return false;
      if (take("</array>")) break;
      items.emplace_back();
      if (!value(items.back(), depth + 1)) return false;
    }
    out = Value(std::move(items));
    return true;
  }

  bool dict(Value& out, int depth) {
    Value::Dictionary members;
    std::string_view raw;
    std::string key;
    for (;;) {
      if (!skipMisc()) return false;
      if (take("</dict>")) break;
      if (!take("<key>") || !textUntil("</key>", raw) || !decodeText(raw, key)) return false;
      // The general path reads this key's dictionary as a number.
      if (key == "CF$UID") return false;
      Value member;
      if (!skipMisc() || !value(member, depth + 1)) return false;
      // Written lists hold their keys in order: append without searching.
      if (members.empty() || members.rbegin()->first < key) {
        members.emplace_hint(members.end(), std::move(key), std::move(member));
      } else {
        members.insert_or_assign(std::move(key), std::move(member));
      }
    }
    out = Value(std::move(members));
    return true;
  }

  const char* p_;
  const char* end_;
  bool tooDeep_ = false;
};

}  // namespace

std::optional<Result<Value>> PropertyListXmlReader::read(std::string_view bytes) {
  // A NUL byte ends the text for some readers but not for others.
  if (bytes.empty() || std::memchr(bytes.data(), '\0', bytes.size())) return std::nullopt;
  return Parser(bytes).document();
}

}  // namespace vexa
