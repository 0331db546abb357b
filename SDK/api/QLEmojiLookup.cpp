#include "vexa/api/QLEmojiLookup.h"

#include <set>

#include "vexa/api/QLBlockingImageFetch.h"
#include "vexa/api/QLDownloadError.h"
#include "vexa/api/QLLookupAnswer.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/UrlEscaping.h"
#include "vexa/platform/WorkerPool.h"
#include "vexa/store/image/QLImageDecoder.h"
#include "vexa/store/QLPackageHelper.h"

namespace vexa {

std::shared_ptr<QLEmoji> QLEmojiLookup::findLocally(QLDownloadManager& manager, Kind kind,
                                                    const std::string& code) {
  const bool useTable = kind != Kind::Big;
  auto& table = manager.smallEmojiMemoryTable_;
  if (useTable) {
    if (auto it = table.find(code); it != table.end() && it->second) return it->second;
  }
  QLPackageCache& store = manager.packageCache();
  std::shared_ptr<QLEmoji> emoji;
  switch (kind) {
    case Kind::Small:
      emoji = QLPackageHelper::smallEmojiWithCode(code, store);
      if (!emoji) emoji = store.smallTempEmojiWithEmojiCode(code);
      break;
    case Kind::Big:
      emoji = QLPackageHelper::bigEmojiWithCode(code, store);
      if (!emoji) emoji = store.bigTempEmojiWithEmojiCode(code);
      break;
    case Kind::Any:
      emoji = QLPackageHelper::emojiWithCode(code, store);
      if (!emoji) emoji = store.tempEmojiWithEmojiCode(code);
      break;
  }
  if (emoji && useTable) table[code] = emoji;
  return emoji;
}

QLEmojiLookup::VXEmojis QLEmojiLookup::resolveLocally(QLDownloadManager& manager, Kind kind,
                                                      const std::vector<std::string>& codes,
                                                      std::vector<std::string>* unresolved) {
  VX_ASSERT_MAIN_THREAD();
  VXEmojis found;
  std::set<std::string, std::less<>> missing;
  for (const auto& code : codes) {
    if (auto emoji = findLocally(manager, kind, code)) {
      found.push_back(QLPackageHelper::vxEmojiFromQLEmoji(*emoji, manager.packageCache()));
    } else if (unresolved && missing.insert(code).second) {
      unresolved->push_back(code);
    }
  }
  return found;
}

void QLEmojiLookup::start(QLDownloadManager& manager, Kind kind, std::vector<std::string> codes,
                          QLDownloadManager::LookupCompletion completion, int refreshRounds) {
  VX_ASSERT_MAIN_THREAD();
  if (!completion) completion = [](const Result<VXEmojis>&) {};
  std::vector<std::string> unresolved;
  VXEmojis found = resolveLocally(manager, kind, codes, &unresolved);
  if (unresolved.empty()) {
    completion(found);
    return;
  }
  auto lookup = std::make_shared<QLEmojiLookup>(manager, kind, std::move(codes),
                                                std::move(unresolved), std::move(found),
                                                std::move(completion), refreshRounds);
  manager.withToken(true, [lookup](const Status& status) {
    if (!status) {
      lookup->finish(status.error());
      return;
    }
    lookup->send();
  });
}

QLEmojiLookup::QLEmojiLookup(QLDownloadManager& manager, Kind kind, std::vector<std::string> codes,
                             std::vector<std::string> unresolved, VXEmojis found,
                             QLDownloadManager::LookupCompletion completion, int refreshRounds)
    : manager_(manager),
      alive_(manager.lifetime_.token()),
      kind_(kind),
      codes_(std::move(codes)),
      unresolved_(std::move(unresolved)),
      result_(std::move(found)),
      completion_(std::move(completion)),
      refreshRounds_(refreshRounds) {}

void QLEmojiLookup::send() {
  if (!managerAlive()) {
    finish(QLDownloadError::managerGone());
    return;
  }
  const int64_t type =
      kind_ == Kind::Big ? QLRequestTypeBigEmojisByCodes : QLRequestTypeSmallEmojisByCodes;
  Value::Array codes(unresolved_.begin(), unresolved_.end());
  auto self = shared_from_this();
  auto operation = manager_.signedJSONPostOperation(
      type, QLRequestTypeDescription[type], Value::dict({{"codes", Value(std::move(codes))}}),
      [self](const QLDownloadManager::Operation&, const Value& json) { self->answered(json); },
      [self](const QLDownloadManager::Operation&, const Error& error) { self->finish(error); });
  manager_.operationQueue().addOperation(operation);
}

void QLEmojiLookup::answered(const Value& json) {
  if (!managerAlive()) {
    finish(QLDownloadError::managerGone());
    return;
  }
  QLLookupAnswer answer = QLLookupAnswer::parse(json, unresolved_);
  if (answer.error && QLDownloadManager::isInvalidToken(*answer.error)) {
    refreshAndRestart(*answer.error);
    return;
  }
  // Other refusals come without elements: the device's records are the
  // result.
  fetchImages(candidatesFrom(answer.emojis));
}

void QLEmojiLookup::refreshAndRestart(const Error& invalidToken) {
  if (refreshRounds_ >= QLDownloadManager::kMaximumRefreshRounds) {
    finish(invalidToken);
    return;
  }
  auto self = shared_from_this();
  manager_.fetchAccessTokenWithRefresh(true, [self](const Status& status) {
    if (!status) {
      self->finish(status.error());
      return;
    }
    auto completion = std::move(self->completion_);
    self->completion_ = nullptr;
    QLEmojiLookup::start(self->manager_, self->kind_, self->codes_, std::move(completion),
                         self->refreshRounds_ + 1);
  });
}

std::vector<QLEmojiLookup::Candidate> QLEmojiLookup::candidatesFrom(
    const std::vector<std::shared_ptr<QLEmoji>>& emojis) {
  std::vector<Candidate> candidates;
  QLPackageCache& store = manager_.packageCache();
  for (const auto& emoji : emojis) {
    Candidate candidate;
    candidate.emoji = emoji;
    if (!emoji->main_image().empty()) {
      auto request = manager_.requestSerializer()->requestWithMethod(
          "GET", UrlEscaping::escapeURL(emoji->main_image()), Value());
      if (request) {
        request->setHeader("Accept", "image/*");
        candidate.request = std::move(request).value();
        candidate.imagePath = store.imageFileURLWithKey(emoji->main_image());
      }
    }
    candidates.push_back(std::move(candidate));
  }
  return candidates;
}

namespace {

// Each fetch blocks its thread for up to the request timeout, so a slow image
// host must not take the global queue's workers from the rest of the SDK.
// Never destroyed, like the global queue: fetches may outlive main().
WorkerPool& imageFetchPool() {
  static WorkerPool* pool = new WorkerPool(2);
  return *pool;
}

}  // namespace

void QLEmojiLookup::fetchImages(std::vector<Candidate> candidates) {
  auto self = shared_from_this();
  imageFetchPool().post([self, candidates = std::move(candidates),
                         transport = manager_.transport(),
                         policy = manager_.securityPolicy()]() mutable {
    for (auto& candidate : candidates) {
      if (!self->managerAlive()) break;  // nobody will take the images
      if (candidate.request) {
        auto body = QLBlockingImageFetch::fetch(transport, std::move(*candidate.request), policy);
        const auto* bytes = body ? reinterpret_cast<const uint8_t*>(body->data()) : nullptr;
        auto image = body ? QLImageDecoder::decode(std::span<const uint8_t>(bytes, body->size()))
                          : Result<std::shared_ptr<const Image>>(body.error());
        // Only a decodable image goes into the store.
        if (image && *image) {
          candidate.image = *image;
          candidate.data = std::make_shared<const Bytes>(bytes, bytes + body->size());
          candidate.imageSaved =
              FileSystem::createDirectories(candidate.imagePath.parent_path()).ok() &&
              FileSystem::writeAtomically(candidate.imagePath, *body).ok();
        }
      }
      MainQueue::shared().async(
          [self, candidate = std::move(candidate)]() mutable { self->deliver(std::move(candidate)); });
    }
    MainQueue::shared().async([self] { self->finish(std::move(self->result_)); });
  });
}

void QLEmojiLookup::deliver(Candidate candidate) {
  if (!managerAlive()) return;
  const QLEmoji& emoji = *candidate.emoji;
  auto vx = QLPackageHelper::vxEmojiFieldsFromQLEmoji(emoji);
  if (candidate.image) {
    vx->setEmojiImage(candidate.image);
    vx->setEmojiData(candidate.data);
  }
  // Saved only with its image, so that the next lookup finds both.
  if (candidate.imageSaved) {
    QLPackageCache& store = manager_.packageCache();
    if (kind_ == Kind::Big) {
      store.saveBigTempEmoji(emoji);
    } else {
      store.saveSmallTempEmoji(emoji);
    }
  }
  result_.push_back(std::move(vx));
  if (kind_ == Kind::Small) manager_.smallEmojiMemoryTable_[emoji.emo_code()] = candidate.emoji;
}

void QLEmojiLookup::finish(Result<VXEmojis> result) {
  if (!completion_) return;
  auto completion = std::move(completion_);
  completion_ = nullptr;
  if (result && !managerAlive()) {
    completion(QLDownloadError::managerGone());
    return;
  }
  completion(result);
}

}  // namespace vexa
