#include "vexa/store/RecordCoding.h"

#include <limits>

namespace vexa {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

bool RecordCoding::boolFromString(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && isBlank(s[i])) ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  while (i < s.size() && s[i] == '0') ++i;
  if (i >= s.size()) return false;
  char c = s[i];
  return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

int64_t RecordCoding::integerFromString(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && isBlank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  // Accumulate negatively: the int64 range has one more negative value.
  int64_t acc = 0;
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  bool overflow = false;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    int digit = s[i] - '0';
    if (acc < (kMin + digit) / 10) {
      overflow = true;
      break;
    }
    acc = acc * 10 - digit;
  }
  if (overflow) return negative ? kMin : std::numeric_limits<int64_t>::max();
  if (negative) return acc;
  return acc == kMin ? std::numeric_limits<int64_t>::max() : -acc;
}

void RecordCoding::readString(const Value& dict, std::string_view key,
                              std::optional<std::string>& field) {
  const Value* v = dict.find(key);
  if (!v) return;
  if (const std::string* s = v->asString()) {
    field = *s;
  } else if (v->isInteger() || v->isReal()) {
    // Services send numeric identifiers as numbers now and then.
    field = v->description();
  }
}

void RecordCoding::readBool(const Value& dict, std::string_view key, bool& field) {
  const Value* v = dict.find(key);
  if (!v) return;
  if (auto n = v->numberAsReal()) {
    field = *n != 0;
  } else if (const std::string* s = v->asString()) {
    field = boolFromString(*s);
  }
}

void RecordCoding::readInteger(const Value& dict, std::string_view key, int64_t& field) {
  const Value* v = dict.find(key);
  if (!v) return;
  if (auto n = v->numberAsInteger()) {
    field = *n;
  } else if (const std::string* s = v->asString()) {
    field = integerFromString(*s);
  }
}

void RecordCoding::writeString(Value& dict, std::string_view key,
                               const std::optional<std::string>& field) {
  if (!field) return;
  if (dict.isNull()) dict = Value::dict();
  // One search: records write tens of thousands of these in an upgrade.
  if (auto* members = dict.asDictionary()) members->insert_or_assign(std::string(key), Value(*field));
}

}  // namespace vexa
