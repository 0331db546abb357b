#include "text/QLTextEmojiSource.h"

#include "platform/Once.h"

namespace vexa {
namespace {

std::shared_ptr<VXEmoji> copyFields(const std::shared_ptr<QLEmoji>& emoji) {
  auto vx = std::make_shared<VXEmoji>();
  if (!emoji) return vx;
  vx->setEmojiId(emoji->guid());
  vx->setEmojiName(emoji->emo_text());
  vx->setEmojiCode(emoji->emo_code());
  vx->setPackageId(emoji->package_id());
  return vx;
}

QLTextEmojiSource* makeStandard() {
  auto* source = new QLTextEmojiSource();
  return source;
}

}  // namespace

const QLTextEmojiSource& QLTextEmojiSource::standard() {
  return Once<QLTextEmojiSource>::instance(makeStandard);
}

std::shared_ptr<VXEmoji> QLTextEmojiSource::convert(const std::shared_ptr<QLEmoji>& emoji) const {
  if (vxEmojiFromQLEmoji) {
    if (auto vx = vxEmojiFromQLEmoji(emoji)) return vx;
  }
  return copyFields(emoji);
}

}  // namespace vexa
