#include "service/WireRecords.h"

namespace vexa::service {

std::string WireRecords::url(std::string_view reference) const {
  if (!Catalog::isLocalReference(reference)) return std::string(reference);
  return filesBase_ + std::string(reference);
}

Value WireRecords::withUrls(const Value& record, std::initializer_list<const char*> keys) const {
  Value out = record;
  for (const char* key : keys) {
    const Value* ref = record.find(key);
    if (ref && ref->isString()) out[key] = url(*ref->asString());
  }
  return out;
}

Value WireRecords::emoji(const Catalog::Emoji& emoji) const {
  return withUrls(emoji.record, {"thumbail", "main_image"});
}

Value WireRecords::package(const Catalog& catalog, const Catalog::Package& package,
                           bool withEmojis) const {
  Value out = withUrls(package.record, {"cover", "chat_icon", "banner", "recommend_pic"});
  if (withEmojis) {
    Value::Array emojis;
    for (const Catalog::Emoji* e : catalog.emojisOf(package)) emojis.push_back(emoji(*e));
    out["emoticions"] = std::move(emojis);
  }
  return out;
}

Value WireRecords::category(const Catalog& catalog, const Catalog::Category& category,
                            const char* nameKey) const {
  Value::Array packages;
  for (const auto& guid : category.packageGuids) {
    if (const Catalog::Package* p = catalog.package(guid)) packages.push_back(package(catalog, *p, false));
  }
  return Value::dict({{"guid", category.guid}, {nameKey, category.name},
                      {"emoticion_packages", Value(std::move(packages))}});
}

}  // namespace vexa::service
