#include "vexa/platform/PropertyListXmlWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "vexa/platform/Base64.h"
#include "vexa/platform/PropertyList.h"

namespace vexa {

namespace {

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";
constexpr std::string_view kFooter = "</plist>\n";

}  // namespace

Result<std::string> PropertyListXmlWriter::write(const Value& value) {
  std::string out;
  if (Status written = write(value, out); !written) return written.error();
  return out;
}

Status PropertyListXmlWriter::write(const Value& value, std::string& out) {
  out.assign(kHeader);
  PropertyListXmlWriter writer(out);
  if (Status written = writer.element(value, 0); !written) return written;
  out += kFooter;
  return Status::Ok();
}

void PropertyListXmlWriter::indent(int depth) { out_.append(static_cast<size_t>(depth), '\t'); }

namespace {

// Whether any of the 8 bytes is & < > or NUL (the bytes text() must stop at).
bool holdsSpecial(uint64_t v) {
  constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  auto zeroByte = [](uint64_t x) { return (x - kOnes) & ~x & kHighs; };
  return (zeroByte(v) | zeroByte(v ^ (kOnes * '&')) | zeroByte(v ^ (kOnes * '<')) |
          zeroByte(v ^ (kOnes * '>'))) != 0;
}

}  // namespace

size_t PropertyListXmlWriter::text(std::string_view s) {
  size_t from = 0;
  size_t i = 0;
  for (;;) {
    // Eight bytes at a time past the plain text that most strings are.
    while (i + 8 <= s.size()) {
      uint64_t word;
      std::memcpy(&word, s.data() + i, sizeof word);
      if (holdsSpecial(word)) break;
      i += 8;
    }
    while (i < s.size() && s[i] != '&' && s[i] != '<' && s[i] != '>' && s[i] != '\0') ++i;
    if (i == s.size()) break;
    out_.append(s, from, i - from);
    // Strings went to the writer as C strings: a NUL ends them.
    if (s[i] == '\0') return i;
    out_ += s[i] == '&' ? "&amp;" : s[i] == '<' ? "&lt;" : "&gt;";
    from = ++i;
  }
  out_.append(s, from, std::string_view::npos);
  return s.size();
}

void PropertyListXmlWriter::real(double d) {
  if (std::isnan(d)) {
    out_ += "nan";
  } else if (std::isinf(d)) {
    out_ += d > 0 ? "+infinity" : "-infinity";
  } else if (d == 0) {
    out_ += "0.0";
  } else {
    char buf[32];
    auto end = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 17).ptr;
    out_.append(buf, end);
  }
}

void PropertyListXmlWriter::data(const Bytes& bytes, int depth) {
  // Lines of base64 narrow by 8 columns a level, down to 12 at depth 8.
  const int lineIndent = std::min(depth, 8);
  const size_t width = static_cast<size_t>(76 - 8 * lineIndent);
  const std::string encoded = Base64::encode(bytes);
  for (size_t at = 0; at < encoded.size(); at += width) {
    indent(lineIndent);
    out_.append(encoded, at, width);
    out_ += '\n';
  }
}

Status PropertyListXmlWriter::element(const Value& value, int depth) {
  if (depth > PropertyList::kMaxDepth) {
    return Error(PropertyList::kErrorDomain, PropertyList::kUnsupported,
                 "property list nests too deeply");
  }
  indent(depth);
  switch (value.type()) {
    case Value::Type::Null:
      return Error(PropertyList::kErrorDomain, PropertyList::kUnsupported,
                   "property lists cannot hold null");
    case Value::Type::Boolean:
      out_ += *value.asBool() ? "<true/>\n" : "<false/>\n";
      break;
    case Value::Type::Integer: {
      char buf[24];
      auto end = std::to_chars(buf, buf + sizeof buf, *value.asInteger()).ptr;
      out_ += "<integer>";
      out_.append(buf, end);
      out_ += "</integer>\n";
      break;
    }
    case Value::Type::Real:
      out_ += "<real>";
      real(*value.asReal());
      out_ += "</real>\n";
      break;
    case Value::Type::String:
      out_ += "<string>";
      text(*value.asString());
      out_ += "</string>\n";
      break;
    case Value::Type::Data:
      out_ += "<data>\n";
      data(*value.asData(), depth);
      indent(depth);
      out_ += "</data>\n";
      break;
    case Value::Type::Array: {
      const Value::Array& array = *value.asArray();
      if (array.empty()) {
        out_ += "<array/>\n";
        break;
      }
      out_ += "<array>\n";
      for (const Value& e : array) {
        if (Status written = element(e, depth + 1); !written) return written;
      }
      indent(depth);
      out_ += "</array>\n";
      break;
    }
    case Value::Type::Dictionary: {
      const Value::Dictionary& dict = *value.asDictionary();
      if (dict.empty()) {
        out_ += "<dict/>\n";
        break;
      }
      out_ += "<dict>\n";
      for (auto it = dict.begin(); it != dict.end();) {
        indent(depth + 1);
        out_ += "<key>";
        const size_t length = text(it->first);
        out_ += "</key>\n";
        // Keys that end at the same NUL are one key: the first one's place,
        // the last one's value. They sort next to each other. The values
        // written over must still be writable.
        auto last = it;
        for (auto next = std::next(last); next != dict.end(); next = std::next(last)) {
          const std::string& k = next->first;
          if (k.size() <= length || k[length] != '\0' || k.compare(0, length, it->first, 0, length) != 0) {
            break;
          }
          const size_t mark = out_.size();
          if (Status written = element(last->second, depth + 1); !written) return written;
          out_.resize(mark);
          last = next;
        }
        if (Status written = element(last->second, depth + 1); !written) return written;
        it = std::next(last);
      }
      indent(depth);
      out_ += "</dict>\n";
      break;
    }
  }
  return Status::Ok();
}

}  // namespace vexa
