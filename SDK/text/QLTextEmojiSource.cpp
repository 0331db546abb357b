#include "text/QLTextEmojiSource.h"

#include "platform/Once.h"
#include "store/QLPackageCache.h"

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

// The public record with the image the store keeps under the emoji's main
// image URL (the store's images first, then the shared cache's).
std::shared_ptr<VXEmoji> fromStore(const std::shared_ptr<QLEmoji>& emoji) {
  auto vx = copyFields(emoji);
  if (emoji && !emoji->main_image().empty()) {
    auto& cache = QLPackageCache::defaultCache();
    vx->setEmojiImage(cache.imageForKey(emoji->main_image(), *emoji));
    vx->setEmojiData(cache.imageDataForKey(emoji->main_image()));
  }
  return vx;
}

// The device's small emojis for the codes: the stored small-emoji packages
// (package order, then emoji order), else the temporary small emojis.
QLTextEmojiSource::Emojis localSmallEmojis(const std::vector<std::string>& codes) {
  auto& cache = QLPackageCache::defaultCache();
  QLTextEmojiSource::Emojis found;
  for (const auto& code : codes) {
    std::shared_ptr<QLEmoji> match;
    for (const auto& package : cache.smallPackages()) {
      if (!package) continue;
      for (const auto& emoji : package->emojis()) {
        if (emoji && emoji->emo_code() == code) {
          match = emoji;
          break;
        }
      }
      if (match) break;
    }
    if (!match) match = cache.smallTempEmojiWithEmojiCode(code);
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
