#include "text/QLTextEmojiSource.h"

#include "platform/Once.h"
#include "store/QLPackageCache.h"
#include "store/QLPackageHelper.h"

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

std::shared_ptr<VXEmoji> fromStore(const std::shared_ptr<QLEmoji>& emoji) {
  return emoji ? QLPackageHelper::vxEmojiFromQLEmoji(*emoji) : copyFields(nullptr);
}

// The device's small emojis for the codes: the stored small-emoji packages,
// else the temporary small emojis. Stands in for the download manager's
// local lookup.
QLTextEmojiSource::Emojis localSmallEmojis(const std::vector<std::string>& codes) {
  QLTextEmojiSource::Emojis found;
  for (const auto& code : codes) {
    auto match = QLPackageHelper::smallEmojiWithCode(code);
    if (!match) match = QLPackageCache::defaultCache().smallTempEmojiWithEmojiCode(code);
    if (match) found.push_back(fromStore(match));
  }
  return found;
}

QLTextEmojiSource* makeStandard() {
  auto* source = new QLTextEmojiSource();
  source->fetchLocalSmallEmojisByCodes = [](const std::vector<std::string>& codes, QLTextEmojiSource::LocalCompletion done) {
    done(localSmallEmojis(codes));
  };
  source->defaultPackages = [] { return QLPackageCache::defaultCache().defaultPackages(); };
  source->allPackages = [] { return QLPackageCache::defaultCache().allPackages(); };
  source->tempEmojiWithEmojiCode = [](const std::string& code) {
    return QLPackageCache::defaultCache().tempEmojiWithEmojiCode(code);
  };
  source->vxEmojiFromQLEmoji = fromStore;
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
