#include "vexa/http/QLQueryString.h"

#include "vexa/platform/UrlEscaping.h"

namespace vexa {
namespace {

constexpr std::string_view kAlsoEscaped = ":/?&=;+!@#$()',*";

void flatten(const std::string& key, const Value& value, std::vector<QLQueryString::Pair>& out) {
  if (const auto* dict = value.asDictionary()) {
    // std::map keeps the keys in byte-wise order already.
    for (const auto& [inner, v] : *dict) {
      flatten(key.empty() ? inner : key + "[" + inner + "]", v, out);
    }
  } else if (const auto* array = value.asArray()) {
    for (const auto& element : *array) flatten(key + "[]", element, out);
  } else {
    out.push_back({key, &value});
  }
}

}  // namespace

std::vector<QLQueryString::Pair> QLQueryString::pairs(const Value& parameters) {
  std::vector<Pair> out;
  if (parameters.isNull()) return out;
  flatten(std::string(), parameters, out);
  return out;
}

std::string QLQueryString::escapeKey(std::string_view key) {
  return UrlEscaping::escape(key, kAlsoEscaped, "[].");
}

std::string QLQueryString::escapeValue(std::string_view value) {
  return UrlEscaping::escape(value, kAlsoEscaped, {});
}

std::string QLQueryString::fromParameters(const Value& parameters) {
  std::string out;
  for (const Pair& pair : pairs(parameters)) {
    if (!out.empty()) out.push_back('&');
    out += escapeKey(pair.key);
    if (!pair.value->isNull()) {
      out.push_back('=');
      out += escapeValue(pair.value->description());
    }
  }
  return out;
}

}  // namespace vexa
