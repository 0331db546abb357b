#include "service/LookupEndpoints.h"

#include <set>

#include "service/Envelope.h"

namespace vexa::service {

namespace {

enum class Kind { Small, Big, Any };

Value lookup(const ApiCall& call, const Value* codes, Kind kind) {
  if (!codes || !codes->isArray())
    return Envelope::error(ServiceError::kBadRequest, "\"codes\" must be an array of strings");
  if (codes->size() > LookupEndpoints::kMaxCodes)
    return Envelope::error(ServiceError::kBadRequest, "too many codes");
  Value::Array found;
  std::set<std::string, std::less<>> seen;
  for (const Value& code : *codes->asArray()) {
    if (!code.isString())
      return Envelope::error(ServiceError::kBadRequest, "\"codes\" must be an array of strings");
    const std::string& c = *code.asString();
    if (!seen.insert(c).second) continue;
    const Catalog::Emoji* e = kind == Kind::Big ? nullptr : call.catalog.smallEmojiByCode(c);
    if (!e && kind != Kind::Small) e = call.catalog.bigEmojiByCode(c);
    found.push_back(e ? call.wire.emoji(*e) : Value::dict({{"guid", nullptr}, {"emo_code", c}}));
  }
  return Envelope::dataList(std::move(found));
}

ApiRouter::Handler fromBody(Kind kind) {
  return [kind](const ApiCall& call) { return lookup(call, call.body.find("codes"), kind); };
}

}  // namespace

void LookupEndpoints::install(ApiRouter& router) {
  router.add("POST", "emoji/small_emo_code", fromBody(Kind::Small));
  router.add("POST", "emoji/big_emo_code", fromBody(Kind::Big));
  router.add("POST", "emoji/codes", [](const ApiCall& call) {
    auto it = call.params.find("codes");
    return lookup(call, it != call.params.end() ? &it->second : call.body.find("codes"), Kind::Any);
  });
}

}  // namespace vexa::service
