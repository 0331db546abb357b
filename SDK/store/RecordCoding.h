// The reading and writing rules shared by the records' updateWithKeyValues()
// and keyValues(): coercions of service values into fields and back.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/Value.h"

namespace vexa {

class RecordCoding {
 public:
  // True when the text's first non-blank character, after an optional sign
  // and leading zeros, is one of Y y T t 1-9.
  static bool boolFromString(std::string_view s);
  // The leading decimal integer of the text (blanks skipped, optional sign),
  // saturating at the int64 range; 0 when it holds no number.
  static int64_t integerFromString(std::string_view s);

  // Each read leaves the field unchanged when the key is absent or holds a
  // value of no usable type (JSON null included).
  static void readString(const Value& dict, std::string_view key, std::optional<std::string>& field);
  static void readBool(const Value& dict, std::string_view key, bool& field);
  static void readInteger(const Value& dict, std::string_view key, int64_t& field);

  // Writes the string when set.
  static void writeString(Value& dict, std::string_view key, const std::optional<std::string>& field);

  // Reads an array of records of type R (each filled by updateWithKeyValues)
  // when the key holds an array.
  template <typename R>
  static void readRecords(const Value& dict, std::string_view key,
                          std::shared_ptr<const std::vector<std::shared_ptr<R>>>& field) {
    const Value* v = dict.find(key);
    if (!v || !v->isArray()) return;
    auto out = std::make_shared<std::vector<std::shared_ptr<R>>>();
    out->reserve(v->asArray()->size());
    for (const Value& element : *v->asArray()) {
      auto record = std::make_shared<R>();
      record->updateWithKeyValues(element);
      out->push_back(std::move(record));
    }
    field = std::move(out);
  }

  // Writes the records' keyValues() in order, when the array is set.
  template <typename R>
  static void writeRecords(Value& dict, std::string_view key,
                           const std::shared_ptr<const std::vector<std::shared_ptr<R>>>& field) {
    if (!field) return;
    Value::Array out;
    out.reserve(field->size());
    for (const auto& record : *field) out.push_back(record->keyValues());
    dict[key] = Value(std::move(out));
  }

  template <typename R>
  static const std::vector<std::shared_ptr<R>>& orEmpty(
      const std::shared_ptr<const std::vector<std::shared_ptr<R>>>& field) {
    static const std::vector<std::shared_ptr<R>> kEmpty;
    return field ? *field : kEmpty;
  }
};

}  // namespace vexa
