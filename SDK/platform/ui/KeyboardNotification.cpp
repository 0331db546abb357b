#include "vexa/platform/ui/KeyboardNotification.h"

namespace vexa {

namespace {

Value rectValue(const Rect& r) {
  return Value(Value::Array{Value(r.x()), Value(r.y()), Value(r.width()), Value(r.height())});
}

std::optional<Rect> rectFrom(const Value* v) {
  const Value::Array* a = v ? v->asArray() : nullptr;
  if (!a || a->size() != 4) return std::nullopt;
  double n[4];
  for (size_t i = 0; i < 4; ++i) {
    auto d = (*a)[i].numberAsReal();
    if (!d) return std::nullopt;
    n[i] = *d;
  }
  return Rect(n[0], n[1], n[2], n[3]);
}

}  // namespace

Value KeyboardNotification::userInfo() const {
  return Value::dict({{kFrameBeginKey, rectValue(frameBegin)},
                      {kFrameEndKey, rectValue(frameEnd)},
                      {kDurationKey, duration}});
}

std::optional<KeyboardNotification> KeyboardNotification::from(const Notification& notification) {
  auto begin = rectFrom(notification.userInfo.find(kFrameBeginKey));
  auto end = rectFrom(notification.userInfo.find(kFrameEndKey));
  if (!begin || !end) return std::nullopt;
  KeyboardNotification info{*begin, *end, 0};
  if (const Value* d = notification.userInfo.find(kDurationKey)) info.duration = d->numberAsReal().value_or(0);
  return info;
}

}  // namespace vexa
