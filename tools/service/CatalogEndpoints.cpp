#include "service/CatalogEndpoints.h"

#include "service/Envelope.h"

namespace vexa::service {

namespace {

Value categories(const ApiCall& call, const std::vector<Catalog::Category>& list, const char* nameKey) {
  Value::Array out;
  for (const auto& c : list) out.push_back(call.wire.category(call.catalog, c, nameKey));
  return Envelope::dataList(std::move(out));
}

Value optionalCategory(const ApiCall& call, const std::optional<Catalog::Category>& c) {
  Value::Array out;
  if (c) out.push_back(call.wire.category(call.catalog, *c, "category_name"));
  return Envelope::dataList(std::move(out));
}

Value packageWithEmojis(const ApiCall& call) {
  const Catalog::Package* p = call.catalog.package(call.args.at(0));
  if (!p) return Envelope::error(ServiceError::kNotFound, "no package " + call.args.at(0));
  return Envelope::data(call.wire.package(call.catalog, *p, true));
}

}  // namespace

void CatalogEndpoints::install(ApiRouter& router) {
  router.add("GET", "ad_banner/index", [](const ApiCall& call) {
    return categories(call, call.catalog.bannerGroups(), "banner_name");
  });
  router.add("GET", "category/code/default", [](const ApiCall& call) {
    return optionalCategory(call, call.catalog.defaultCategory());
  });
  router.add("GET", "category/code/recommend", [](const ApiCall& call) {
    return optionalCategory(call, call.catalog.recommendCategory());
  });
  router.add("GET", "category", [](const ApiCall& call) {
    return categories(call, call.catalog.shopCategories(), "category_name");
  });
  router.add("GET", "package/{}/emojis", packageWithEmojis);
  router.add("GET", "package/{}", packageWithEmojis);
  router.add("GET", "emoji/code/{}", [](const ApiCall& call) {
    const std::string& code = call.args.at(0);
    const Catalog::Emoji* e = call.catalog.smallEmojiByCode(code);
    if (!e) e = call.catalog.bigEmojiByCode(code);
    return e ? Envelope::data(call.wire.emoji(*e)) : Envelope::dataList({});
  });
  // After the lookups' literal paths ("emoji/codes"...), which it would match.
  router.add("GET", "emoji/{}", [](const ApiCall& call) {
    const Catalog::Emoji* e = call.catalog.emoji(call.args.at(0));
    if (!e) return Envelope::error(ServiceError::kNotFound, "no emoji " + call.args.at(0));
    return Envelope::data(call.wire.emoji(*e));
  });
  router.add("GET", "checkpackage/new", [](const ApiCall& call) {
    return Envelope::data(
        Value::dict({{"newEmojiCountTimestamp", call.catalog.newEmojiCountTimestamp()}}));
  });
}

}  // namespace vexa::service
