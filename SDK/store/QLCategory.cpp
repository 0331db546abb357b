#include "vexa/store/QLCategory.h"

#include "vexa/platform/UrlEscaping.h"
#include "vexa/store/RecordCoding.h"

namespace vexa {
namespace {
const std::string kEmpty;
}

const std::string& QLCategory::guid() const { return guid_ ? *guid_ : kEmpty; }
const std::string& QLCategory::name() const { return name_ ? *name_ : kEmpty; }
const QLCategory::Packages& QLCategory::packages() const { return RecordCoding::orEmpty(packages_); }

void QLCategory::setPackages(std::optional<Packages> v) {
  packages_ = v ? std::make_shared<const Packages>(std::move(*v)) : nullptr;
}

void QLCategory::updateWithKeyValues(const Value& kv) {
  RecordCoding::readString(kv, "guid", guid_);
  const Value* categoryName = kv.find("category_name");
  if (categoryName && !categoryName->isNull()) {
    RecordCoding::readString(kv, "category_name", name_);
  } else {
    RecordCoding::readString(kv, "banner_name", name_);
  }
  RecordCoding::readRecords(kv, "emoticion_packages", packages_);
}

Value QLCategory::keyValues() const {
  Value kv = Value::dict();
  RecordCoding::writeString(kv, "guid", guid_);
  RecordCoding::writeString(kv, "category_name", name_);
  RecordCoding::writeRecords(kv, "emoticion_packages", packages_);
  return kv;
}

std::vector<std::string> QLCategory::banners() const {
  std::vector<std::string> out;
  out.reserve(packages().size());
  for (const auto& p : packages()) out.push_back(UrlEscaping::escapeURL(p->banner()));
  return out;
}

}  // namespace vexa
