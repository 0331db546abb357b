// A label attached to packages and emojis.
#pragma once

#include <optional>
#include <string>

#include "vexa/platform/Value.h"

namespace vexa {

class QLTag {
 public:
  const std::string& guid() const;
  void setGuid(std::optional<std::string> v) { guid_ = std::move(v); }
  const std::string& label() const;
  void setLabel(std::optional<std::string> v) { label_ = std::move(v); }

  // Fills fields from "guid" and "label"; absent keys leave fields unchanged.
  void updateWithKeyValues(const Value& keyValues);
  // {"guid", "label"}, each only when set.
  Value keyValues() const;

 private:
  std::optional<std::string> guid_;
  std::optional<std::string> label_;
};

}  // namespace vexa
