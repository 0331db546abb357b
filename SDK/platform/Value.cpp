#include "vexa/platform/Value.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "vexa/platform/JsonCodec.h"

namespace vexa {

Value Value::dict(std::initializer_list<std::pair<const std::string, Value>> entries) {
  return Value(Dictionary(entries));
}

Value Value::array(std::initializer_list<Value> elements) { return Value(Array(elements)); }

std::optional<int64_t> Value::numberAsInteger() const {
  if (auto* b = asBool()) return *b ? 1 : 0;
  if (auto* i = asInteger()) return *i;
  if (auto* d = asReal()) {
    if (std::isnan(*d)) return 0;
    // Compare in double: INT64_MAX itself is not representable.
    if (*d >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
    if (*d <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(*d);
  }
  return std::nullopt;
}

std::optional<double> Value::numberAsReal() const {
  if (auto* b = asBool()) return *b ? 1.0 : 0.0;
  if (auto* i = asInteger()) return static_cast<double>(*i);
  if (auto* d = asReal()) return *d;
  return std::nullopt;
}

const Value* Value::find(std::string_view key) const {
  const Dictionary* d = asDictionary();
  if (!d) return nullptr;
  auto it = d->find(key);
  return it == d->end() ? nullptr : &it->second;
}

Value& Value::operator[](std::string_view key) {
  if (isNull()) v_ = Dictionary();
  Dictionary& d = std::get<Dictionary>(v_);
  auto it = d.find(key);
  if (it == d.end()) it = d.emplace(std::string(key), Value()).first;
  return it->second;
}

size_t Value::size() const {
  if (auto* a = asArray()) return a->size();
  if (auto* d = asDictionary()) return d->size();
  return 0;
}

std::string Value::description() const {
  switch (type()) {
    case Type::Null:
      return "<null>";
    case Type::Boolean:
      return *asBool() ? "1" : "0";
    case Type::Integer:
      return std::to_string(*asInteger());
    case Type::Real: {
      double d = *asReal();
      if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15) {
        return std::to_string(static_cast<int64_t>(d));
      }
      char buf[64];
      auto r = std::to_chars(buf, buf + sizeof buf, d);
      return std::string(buf, r.ptr);
    }
    case Type::String:
      return *asString();
    case Type::Data:
    case Type::Array:
    case Type::Dictionary:
      return JsonCodec::serialize(*this);
  }
  return {};
}

}  // namespace vexa
