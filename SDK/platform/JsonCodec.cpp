#include "vexa/platform/JsonCodec.h"

#include <nlohmann/json.hpp>

#include <vector>

#include "vexa/platform/Base64.h"
#include "vexa/platform/Utf8.h"

namespace vexa {

const char* const JsonCodec::kErrorDomain = "VXJSONErrorDomain";

namespace {

// Builds Values straight from the parser's events, with a depth limit, so a
// hostile document can neither recurse without bound nor cost a second tree.
class ValueBuilder final : public nlohmann::json_sax<nlohmann::json> {
 public:
  bool null() override { return add(Value()); }
  bool boolean(bool b) override { return add(Value(b)); }
  bool number_integer(number_integer_t i) override { return add(Value(static_cast<int64_t>(i))); }
  bool number_unsigned(number_unsigned_t u) override {
    if (u <= static_cast<number_unsigned_t>(INT64_MAX)) return add(Value(static_cast<int64_t>(u)));
    return add(Value(static_cast<double>(u)));
  }
  bool number_float(number_float_t f, const string_t&) override { return add(Value(f)); }
  bool string(string_t& s) override { return add(Value(std::move(s))); }
  bool binary(binary_t& b) override { return add(Value(Bytes(b.begin(), b.end()))); }

  bool start_object(std::size_t) override { return open(Value(Value::Dictionary())); }
  bool key(string_t& k) override {
    key_ = std::move(k);
    return true;
  }
  bool end_object() override { return close(); }
  bool start_array(std::size_t) override { return open(Value(Value::Array())); }
  bool end_array() override { return close(); }

  bool parse_error(std::size_t position, const std::string&,
                   const nlohmann::detail::exception& e) override {
    message_ = "JSON text is malformed at byte " + std::to_string(position) + ": " + e.what();
    return false;
  }

  bool tooDeep() const { return tooDeep_; }
  const std::string& message() const { return message_; }
  Value take() { return std::move(root_); }

 private:
  struct Frame {
    Value container;
    std::string pendingKey;  // key under which the container goes into its parent
  };

  bool add(Value v) {
    if (stack_.empty()) {
      root_ = std::move(v);
      return true;
    }
    Value& top = stack_.back().container;
    if (auto* a = top.asArray()) {
      a->push_back(std::move(v));
    } else {
      (*top.asDictionary())[std::move(key_)] = std::move(v);
    }
    return true;
  }
  bool open(Value container) {
    if (stack_.size() >= static_cast<size_t>(JsonCodec::kMaxDepth)) {
      tooDeep_ = true;
      return false;
    }
    stack_.push_back(Frame{std::move(container), std::move(key_)});
    return true;
  }
  bool close() {
    Frame f = std::move(stack_.back());
    stack_.pop_back();
    key_ = std::move(f.pendingKey);
    return add(std::move(f.container));
  }

  std::vector<Frame> stack_;
  std::string key_;
  Value root_;
  bool tooDeep_ = false;
  std::string message_;
};

nlohmann::json toJson(const Value& v) {
  switch (v.type()) {
    case Value::Type::Null:
      return nullptr;
    case Value::Type::Boolean:
      return *v.asBool();
    case Value::Type::Integer:
      return *v.asInteger();
    case Value::Type::Real:
      return *v.asReal();
    case Value::Type::String:
      return *v.asString();
    case Value::Type::Data:
      return Base64::encode(*v.asData());
    case Value::Type::Array: {
      nlohmann::json a = nlohmann::json::array();
      for (const Value& e : *v.asArray()) a.push_back(toJson(e));
      return a;
    }
    case Value::Type::Dictionary: {
      nlohmann::json o = nlohmann::json::object();
      for (const auto& [k, e] : *v.asDictionary()) o[k] = toJson(e);
      return o;
    }
  }
  return nullptr;
}

}  // namespace

Result<Value> JsonCodec::parse(std::string_view text) {
  if (!Utf8::isValid(text)) {
    return Error(kErrorDomain, kNotUtf8, "JSON text is not valid UTF-8");
  }
  ValueBuilder builder;
  bool ok = nlohmann::json::sax_parse(text.begin(), text.end(), &builder,
                                      nlohmann::detail::input_format_t::json, true);
  if (builder.tooDeep()) {
    return Error(kErrorDomain, kTooDeep,
                 "JSON text nests deeper than " + std::to_string(kMaxDepth) + " levels");
  }
  if (!ok) {
    return Error(kErrorDomain, kMalformed,
                 builder.message().empty() ? "JSON text is malformed" : builder.message());
  }
  return builder.take();
}

std::string JsonCodec::serialize(const Value& value) {
  return toJson(value).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace vexa
