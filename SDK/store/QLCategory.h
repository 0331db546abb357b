// A shop category or banner group holding packages in service order.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/platform/Value.h"
#include "vexa/store/QLPackage.h"

namespace vexa {

class QLCategory {
 public:
  using Packages = std::vector<std::shared_ptr<QLPackage>>;

  const std::string& guid() const;
  void setGuid(std::optional<std::string> v) { guid_ = std::move(v); }
  // Read from "category_name", else "banner_name"; written as "category_name".
  const std::string& name() const;
  void setName(std::optional<std::string> v) { name_ = std::move(v); }
  const Packages& packages() const;
  bool hasPackages() const { return packages_ != nullptr; }
  void setPackages(std::optional<Packages> v);

  void updateWithKeyValues(const Value& keyValues);
  Value keyValues() const;

  // The packages' banner URLs, percent-escaped for URL use, one per package
  // (a package without a banner gives an empty string).
  std::vector<std::string> banners() const;

 private:
  std::optional<std::string> guid_, name_;
  std::shared_ptr<const Packages> packages_;
};

}  // namespace vexa
