#include "vexa/platform/StringsTable.h"

#include <optional>

#include "vexa/platform/Utf8.h"

namespace vexa {

const char* const StringsTable::kErrorDomain = "VXStringsTableErrorDomain";

namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : s_(text) {}

  Result<StringsTable::Entries> run() {
    if (s_.starts_with("\xEF\xBB\xBF")) i_ = 3;
    if (!Utf8::isValid(s_)) return Error(StringsTable::kErrorDomain, 1, "string table is not UTF-8");
    StringsTable::Entries entries;
    while (true) {
      if (auto e = skipBlanks()) return *e;
      if (i_ >= s_.size()) return entries;
      std::string key, value;
      if (auto e = token(key)) return *e;
      if (auto e = skipBlanks()) return *e;
      if (!eat('=')) return fail("expected '='");
      if (auto e = skipBlanks()) return *e;
      if (auto e = token(value)) return *e;
      if (auto e = skipBlanks()) return *e;
      if (!eat(';')) return fail("expected ';'");
      entries.insert_or_assign(std::move(key), std::move(value));
    }
  }

 private:
  Error fail(const std::string& what) const {
    return Error(StringsTable::kErrorDomain, 1, "string table line " + std::to_string(line_) + ": " + what);
  }

  bool eat(char c) {
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }

  std::optional<Error> skipBlanks() {
    while (i_ < s_.size()) {
      char c = s_[i_];
      if (c == '\n') {
        ++line_;
        ++i_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++i_;
      } else if (s_.substr(i_, 2) == "//") {
        while (i_ < s_.size() && s_[i_] != '\n') ++i_;
      } else if (s_.substr(i_, 2) == "/*") {
        auto end = s_.find("*/", i_ + 2);
        if (end == std::string_view::npos) return fail("unterminated comment");
        for (size_t k = i_; k < end; ++k) line_ += s_[k] == '\n';
        i_ = end + 2;
      } else {
        break;
      }
    }
    return std::nullopt;
  }

  static bool isBareChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '-';
  }

  std::optional<Error> token(std::string& out) {
    if (i_ >= s_.size()) return fail("unexpected end");
    if (s_[i_] != '"') {
      size_t start = i_;
      while (i_ < s_.size() && isBareChar(s_[i_])) ++i_;
      if (i_ == start) return fail("expected a quoted string");
      out.assign(s_.substr(start, i_ - start));
      return std::nullopt;
    }
    ++i_;
    while (i_ < s_.size() && s_[i_] != '"') {
      char c = s_[i_++];
      if (c == '\n') ++line_;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i_ >= s_.size()) break;
      char e = s_[i_++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '0': out += '\0'; break;
        case '"': case '\\': case '\'': out += e; break;
        case 'U': case 'u':
          if (auto err = unicodeEscape(out)) return err;
          break;
        default: return fail(std::string("unknown escape \\") + e);
      }
    }
    if (!eat('"')) return fail("unterminated string");
    return std::nullopt;
  }

  std::optional<unsigned> hex4() {
    if (s_.size() - i_ < 4) return std::nullopt;
    unsigned v = 0;
    for (int k = 0; k < 4; ++k) {
      char c = s_[i_ + k];
      unsigned d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return std::nullopt;
      v = v * 16 + d;
    }
    i_ += 4;
    return v;
  }

  std::optional<Error> unicodeEscape(std::string& out) {
    auto unit = hex4();
    if (!unit) return fail("bad \\U escape");
    char32_t cp = *unit;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (s_.substr(i_, 2) != "\\U" && s_.substr(i_, 2) != "\\u") return fail("lone surrogate");
      i_ += 2;
      auto low = hex4();
      if (!low || *low < 0xDC00 || *low > 0xDFFF) return fail("lone surrogate");
      cp = 0x10000 + ((cp - 0xD800) << 10) + (*low - 0xDC00);
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
      return fail("lone surrogate");
    }
    Utf8::append(out, cp);
    return std::nullopt;
  }

  std::string_view s_;
  size_t i_ = 0;
  size_t line_ = 1;
};

}  // namespace

Result<StringsTable::Entries> StringsTable::parse(std::string_view text) { return Parser(text).run(); }

}  // namespace vexa
