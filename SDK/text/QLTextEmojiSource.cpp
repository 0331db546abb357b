#include "vexa/text/QLTextEmojiSource.h"

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/Once.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/store/QLPackageHelper.h"

namespace vexa {
namespace {

std::shared_ptr<VXEmoji> copyFields(const std::shared_ptr<QLEmoji>& emoji) {
  return emoji ? QLPackageHelper::vxEmojiFieldsFromQLEmoji(*emoji) : std::make_shared<VXEmoji>();
}

QLTextEmojiSource* makeStandard() {
  auto* source = new QLTextEmojiSource();
  source->fetchSmallEmojisByCodes = [](const std::vector<std::string>& codes,
                                       QLTextEmojiSource::RemoteCompletion done) {
    QLDownloadManager::defaultManager().fetchSmallEmojisByCodes(
        codes, [done = std::move(done)](const Result<QLDownloadManager::VXEmojis>& found) {
          if (found.ok()) {
            done(*found);
          } else {
            done(found.error());
          }
        });
  };
  source->fetchLocalSmallEmojisByCodes = [](const std::vector<std::string>& codes,
                                            QLTextEmojiSource::LocalCompletion done) {
    QLDownloadManager::defaultManager().fetchLocalSmallEmojisByCodes(
        codes, [done = std::move(done)](const QLDownloadManager::VXEmojis& found) { done(found); });
  };
  source->defaultPackages = [] { return QLPackageCache::defaultCache().defaultPackages(); };
  source->allPackages = [] { return QLPackageCache::defaultCache().allPackages(); };
  source->tempEmojiWithEmojiCode = [](const std::string& code) {
    return QLPackageCache::defaultCache().tempEmojiWithEmojiCode(code);
  };
  source->vxEmojiFromQLEmoji = [](const std::shared_ptr<QLEmoji>& emoji) {
    return emoji ? QLPackageHelper::vxEmojiFromQLEmoji(*emoji) : copyFields(nullptr);
  };
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
