#include "service/ReportEndpoints.h"

#include <algorithm>

#include "service/Envelope.h"

namespace vexa::service {

namespace {

bool oneOf(const std::string& s, std::initializer_list<const char*> options) {
  return std::any_of(options.begin(), options.end(), [&s](const char* o) { return s == o; });
}

const std::string* nonEmptyText(const Value& object, const char* key) {
  const Value* v = object.find(key);
  return v && v->isString() && !v->asString()->empty() ? v->asString() : nullptr;
}

// The reporting client, for every report.
Value::Dictionary reporter(const ApiCall& call) {
  Value::Dictionary who{{"appid", call.appId}, {"device_no", call.text("device_no")}};
  if (std::string uid = call.text("app_uid"); !uid.empty()) who["app_uid"] = uid;
  return who;
}

Value packageAction(const ApiCall& call, ReportBook& reports) {
  std::string action = call.text("action");
  if (!oneOf(action, {"view", "download", "remove"}))
    return Envelope::error(ServiceError::kBadRequest, "action must be view, download or remove");
  const std::string& guid = call.args.at(0);
  if (!call.catalog.package(guid)) return Envelope::error(ServiceError::kNotFound, "no package " + guid);
  Value::Dictionary report = reporter(call);
  report["kind"] = "package";
  report["package_id"] = guid;
  report["action"] = action;
  reports.record(Value(std::move(report)));
  return Envelope::data(Value::dict({{"accepted", 1}}));
}

Value emojiUsages(const ApiCall& call, ReportBook& reports) {
  const std::string* packageId = call.body.isDictionary() ? nonEmptyText(call.body, "package_id") : nullptr;
  const Value* usages = call.body.find("usages");
  if (!packageId || !usages || !usages->isArray() || usages->size() == 0 ||
      usages->size() > ReportEndpoints::kMaxUsages)
    return Envelope::error(ServiceError::kBadRequest,
                           "the body needs \"package_id\" and 1 to 100 \"usages\"");
  if (!call.catalog.package(*packageId))
    return Envelope::error(ServiceError::kNotFound, "no package " + *packageId);
  std::vector<Value::Dictionary> accepted;
  for (const Value& usage : *usages->asArray()) {
    const std::string* emojiId = nonEmptyText(usage, "emoji_id");
    const Value* text = usage.find("emoji_text");
    const Value* action = usage.find("action");
    if (!emojiId || (text && !text->isString()) || !action || !action->isString() ||
        !oneOf(*action->asString(), {"view", "send", "receive", "favor"}))
      return Envelope::error(ServiceError::kBadRequest,
                             "a usage needs \"emoji_id\", a text \"emoji_text\" and an action of "
                             "view, send, receive or favor");
    const Catalog::Emoji* emoji = call.catalog.emoji(*emojiId);
    if (!emoji || emoji->packageGuid != *packageId)
      return Envelope::error(ServiceError::kNotFound, "no emoji " + *emojiId + " in package " + *packageId);
    Value::Dictionary report = reporter(call);
    report["kind"] = "emoji";
    report["package_id"] = *packageId;
    report["emoji_id"] = *emojiId;
    report["emoji_text"] = text ? *text->asString() : std::string();
    report["action"] = *action->asString();
    accepted.push_back(std::move(report));
  }
  // All or nothing: a bad usage later in the list records none of them.
  for (auto& report : accepted) reports.record(Value(std::move(report)));
  return Envelope::data(Value::dict({{"accepted", int64_t(usages->size())}}));
}

}  // namespace

void ReportEndpoints::install(ApiRouter& router, ReportBook& reports) {
  router.add("GET", "callback/package/{}", [&reports](const ApiCall& call) { return packageAction(call, reports); });
  router.add("POST", "callback/emojis/usage", [&reports](const ApiCall& call) { return emojiUsages(call, reports); });
}

}  // namespace vexa::service
