// What a response is parsed into. Which alternative a request yields
// depends on its type:
//   token (0)                  the access token text, or nil
//   1, 2, 3, 18                categories (possibly empty)
//   5                          emojis, or nil when the data list was empty
//   14                         one emoji, or nil
//   every other type           a Value: the only element of the data list,
//                              else the list itself; nil when it was absent
// A plain value; records inside are shared.
#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "vexa/platform/Value.h"
#include "vexa/store/QLCategory.h"
#include "vexa/store/QLEmoji.h"

namespace vexa {

using QLCategories = std::vector<std::shared_ptr<QLCategory>>;
using QLEmojis = std::vector<std::shared_ptr<QLEmoji>>;

class QLResponse {
 public:
  struct Token {
    std::string text;
  };
  using Variant = std::variant<std::monostate, Token, QLCategories, QLEmojis,
                               std::shared_ptr<QLEmoji>, Value>;

  QLResponse() = default;  // nil
  explicit QLResponse(Variant v) : v_(std::move(v)) {}

  bool isNil() const { return std::holds_alternative<std::monostate>(v_); }
  const std::string* token() const {
    auto* t = std::get_if<Token>(&v_);
    return t ? &t->text : nullptr;
  }
  const QLCategories* categories() const { return std::get_if<QLCategories>(&v_); }
  const QLEmojis* emojis() const { return std::get_if<QLEmojis>(&v_); }
  std::shared_ptr<QLEmoji> emoji() const {
    auto* e = std::get_if<std::shared_ptr<QLEmoji>>(&v_);
    return e ? *e : nullptr;
  }
  const Value* value() const { return std::get_if<Value>(&v_); }
  const Variant& variant() const { return v_; }

 private:
  Variant v_;
};

}  // namespace vexa
