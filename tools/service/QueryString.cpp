#include "service/QueryString.h"

#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/Utf8.h"

namespace vexa::service {

const char* const QueryString::kErrorDomain = "VXQueryStringErrorDomain";

namespace {

Error refuse(const std::string& what) { return Error(QueryString::kErrorDomain, 1, what); }

Result<std::string> decoded(std::string_view raw) {
  std::string text = UrlEscaping::unescape(raw);
  if (!Utf8::isValid(text)) return refuse("a query parameter is not UTF-8");
  return text;
}

}  // namespace

Result<Value::Dictionary> QueryString::parse(std::string_view query) {
  Value::Dictionary params;
  size_t pairs = 0;
  for (size_t start = 0; start <= query.size();) {
    size_t end = std::min(query.find('&', start), query.size());
    std::string_view pair = query.substr(start, end - start);
    start = end + 1;
    if (pair.empty()) continue;
    if (++pairs > kMaxPairs) return refuse("too many query parameters");

    size_t eq = pair.find('=');
    std::string_view rawKey = pair.substr(0, eq);
    std::optional<std::string_view> rawValue;
    if (eq != std::string_view::npos) rawValue = pair.substr(eq + 1);

    std::string_view rawName = rawKey;
    std::optional<std::string_view> rawSub;  // "" for name[]
    size_t open = rawKey.find('[');
    if (open != std::string_view::npos) {
      if (!rawKey.ends_with(']') || open == 0) return refuse("malformed parameter name");
      rawName = rawKey.substr(0, open);
      rawSub = rawKey.substr(open + 1, rawKey.size() - open - 2);
      if (rawSub->find_first_of("[]") != std::string_view::npos)
        return refuse("malformed parameter name");
    } else if (rawKey.find(']') != std::string_view::npos) {
      return refuse("malformed parameter name");
    }
    auto name = decoded(rawName);
    if (!name) return name.error();
    if (name->empty()) return refuse("a query parameter has no name");
    Value value;
    if (rawValue) {
      auto v = decoded(*rawValue);
      if (!v) return v.error();
      value = std::move(*v);
    }

    auto it = params.find(*name);
    if (!rawSub) {
      if (it != params.end()) return refuse("parameter \"" + *name + "\" appears twice");
      params.emplace(std::move(*name), std::move(value));
    } else if (rawSub->empty()) {
      if (it == params.end()) it = params.emplace(*name, Value::Array{}).first;
      Value::Array* list = it->second.asArray();
      if (!list) return refuse("parameter \"" + *name + "\" is used in two forms");
      list->push_back(std::move(value));
    } else {
      auto sub = decoded(*rawSub);
      if (!sub) return sub.error();
      if (it == params.end()) it = params.emplace(*name, Value::Dictionary{}).first;
      Value::Dictionary* dict = it->second.asDictionary();
      if (!dict) return refuse("parameter \"" + *name + "\" is used in two forms");
      if (!dict->emplace(std::move(*sub), std::move(value)).second)
        return refuse("parameter \"" + *name + "[...]\" appears twice");
    }
  }
  return params;
}

}  // namespace vexa::service
