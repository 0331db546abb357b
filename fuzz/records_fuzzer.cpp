// Arbitrary JSON into every record: no crash, and a record's keyValues()
// read back gives the same keyValues() (the store depends on that).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vexa/platform/JsonCodec.h"
#include "vexa/store/QLCategory.h"
#include "vexa/store/QLEmoji.h"
#include "vexa/store/QLPackage.h"
#include "vexa/store/QLTag.h"

namespace {

template <typename R>
void roundTrip(const vexa::Value& input) {
  R record;
  record.updateWithKeyValues(input);
  vexa::Value written = record.keyValues();
  R again;
  again.updateWithKeyValues(written);
  if (!(again.keyValues() == written)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto parsed = vexa::JsonCodec::parse(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!parsed.ok()) return 0;
  const vexa::Value& v = *parsed;
  roundTrip<vexa::QLTag>(v);
  roundTrip<vexa::QLEmoji>(v);
  roundTrip<vexa::QLPackage>(v);
  roundTrip<vexa::QLCategory>(v);
  vexa::QLPackage p;
  p.updateWithKeyValues(v);
  (void)p.mainImgURLStrsOfEmojis();
  vexa::QLCategory c;
  c.updateWithKeyValues(v);
  (void)c.banners();
  return 0;
}
