// Value: the one dynamic value type of the SDK.
//
// It carries what JSON documents and property lists carry: null, booleans,
// integers, reals, strings, raw data, arrays and dictionaries. Records read
// from and write to it; the JSON and property-list codecs convert it to and
// from bytes. A Value is a plain value type: copies are deep, and a Value is
// safe to read from several threads at once.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace vexa {

using Bytes = std::vector<uint8_t>;

class Value {
 public:
  enum class Type { Null, Boolean, Integer, Real, String, Data, Array, Dictionary };
  using Array = std::vector<Value>;
  using Dictionary = std::map<std::string, Value, std::less<>>;

  Value() = default;  // null
  Value(std::nullptr_t) {}  // NOLINT
  Value(bool b) : v_(b) {}  // NOLINT
  template <typename I, std::enable_if_t<std::is_integral_v<I> && !std::is_same_v<I, bool>, int> = 0>
  Value(I i) : v_(static_cast<int64_t>(i)) {}  // NOLINT
  Value(double d) : v_(d) {}  // NOLINT
  Value(const char* s) : v_(std::string(s)) {}  // NOLINT
  Value(std::string s) : v_(std::move(s)) {}  // NOLINT
  Value(std::string_view s) : v_(std::string(s)) {}  // NOLINT
  Value(Bytes d) : v_(std::move(d)) {}  // NOLINT
  Value(Array a) : v_(std::move(a)) {}  // NOLINT
  Value(Dictionary d) : v_(std::move(d)) {}  // NOLINT

  // Dictionary literal: Value::dict({{"a", 1}, {"b", "x"}}).
  static Value dict(std::initializer_list<std::pair<const std::string, Value>> entries = {});
  static Value array(std::initializer_list<Value> elements = {});

  Type type() const { return static_cast<Type>(v_.index()); }
  bool isNull() const { return type() == Type::Null; }
  bool isBool() const { return type() == Type::Boolean; }
  bool isInteger() const { return type() == Type::Integer; }
  bool isReal() const { return type() == Type::Real; }
  bool isNumber() const { return isBool() || isInteger() || isReal(); }
  bool isString() const { return type() == Type::String; }
  bool isData() const { return type() == Type::Data; }
  bool isArray() const { return type() == Type::Array; }
  bool isDictionary() const { return type() == Type::Dictionary; }

  // Typed views: nullptr when the value holds another type.
  const bool* asBool() const { return std::get_if<bool>(&v_); }
  const int64_t* asInteger() const { return std::get_if<int64_t>(&v_); }
  const double* asReal() const { return std::get_if<double>(&v_); }
  const std::string* asString() const { return std::get_if<std::string>(&v_); }
  const Bytes* asData() const { return std::get_if<Bytes>(&v_); }
  const Array* asArray() const { return std::get_if<Array>(&v_); }
  const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&v_); }
  Array* asArray() { return std::get_if<Array>(&v_); }
  Dictionary* asDictionary() { return std::get_if<Dictionary>(&v_); }

  // Numbers as numbers: booleans count as 0/1, reals truncate toward zero
  // (saturating at the int64 range). None for non-numbers.
  std::optional<int64_t> numberAsInteger() const;
  std::optional<double> numberAsReal() const;

  // Dictionary member or nullptr (also when this is no dictionary).
  const Value* find(std::string_view key) const;
  // Dictionary member; turns a null value into an empty dictionary first.
  Value& operator[](std::string_view key);
  // Number of elements of an array or dictionary, else 0.
  size_t size() const;

  // The value's text as a format's "%@" would write it: strings unchanged,
  // integers in decimal, booleans "1"/"0", reals in their shortest exact
  // form, null "<null>". Arrays and dictionaries give a compact JSON text.
  std::string description() const;

  bool operator==(const Value& other) const { return v_ == other.v_; }

 private:
  std::variant<std::nullptr_t, bool, int64_t, double, std::string, Bytes, Array, Dictionary> v_;
};

}  // namespace vexa
