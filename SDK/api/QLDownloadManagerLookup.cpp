// The lookups of emojis by code of QLDownloadManager (see QLEmojiLookup).
#include "vexa/api/QLDownloadManager.h"
#include "vexa/api/QLEmojiLookup.h"

namespace vexa {

void QLDownloadManager::fetchSmallEmojisByCodes(const std::vector<std::string>& codes,
                                                LookupCompletion completion) {
  QLEmojiLookup::start(*this, QLEmojiLookup::Kind::Small, codes, std::move(completion));
}

void QLDownloadManager::fetchBigEmojisByCodes(const std::vector<std::string>& codes,
                                              LookupCompletion completion) {
  QLEmojiLookup::start(*this, QLEmojiLookup::Kind::Big, codes, std::move(completion));
}

void QLDownloadManager::fetchLocalEmojisByCodes(const std::vector<std::string>& codes,
                                                LocalLookupCompletion completion) {
  auto found = QLEmojiLookup::resolveLocally(*this, QLEmojiLookup::Kind::Any, codes);
  if (completion) completion(found);
}

void QLDownloadManager::fetchLocalSmallEmojisByCodes(const std::vector<std::string>& codes,
                                                     LocalLookupCompletion completion) {
  auto found = QLEmojiLookup::resolveLocally(*this, QLEmojiLookup::Kind::Small, codes);
  if (completion) completion(found);
}

void QLDownloadManager::fetchLocalBigEmojisByCodes(const std::vector<std::string>& codes,
                                                   LocalLookupCompletion completion) {
  auto found = QLEmojiLookup::resolveLocally(*this, QLEmojiLookup::Kind::Big, codes);
  if (completion) completion(found);
}

}  // namespace vexa
