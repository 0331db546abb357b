// A QLTextEmojiSource over an in-memory list of emojis and packages, which
// records what it was asked.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/store/QLPackage.h"
#include "vexa/text/QLTextEmojiSource.h"

namespace vexa::test {

inline std::shared_ptr<VXEmoji> makeVXEmoji(const std::string& code, const std::string& id = "") {
  auto e = std::make_shared<VXEmoji>();
  e->setEmojiCode(code);
  e->setEmojiId(id.empty() ? "id-" + code : id);
  return e;
}

inline std::shared_ptr<QLEmoji> makeQLEmoji(const std::string& code, const std::string& guid) {
  auto e = std::make_shared<QLEmoji>();
  e->setEmo_code(code);
  e->setGuid(guid);
  e->setEmo_text("text of " + code);
  e->setPackage_id("pkg");
  return e;
}

inline std::shared_ptr<QLPackage> makePackage(const std::string& guid, int64_t type,
                                              std::vector<std::shared_ptr<QLEmoji>> emojis) {
  auto p = std::make_shared<QLPackage>();
  p->setGuid(guid);
  p->setPackageType(type);
  p->setEmojis(std::move(emojis));
  return p;
}

struct FakeEmojiWorld {
  std::vector<std::shared_ptr<VXEmoji>> local;
  std::vector<std::shared_ptr<VXEmoji>> remote;
  std::optional<Error> remoteError;
  QLTextEmojiSource::Packages defaults;
  QLTextEmojiSource::Packages downloaded;
  std::vector<std::shared_ptr<QLEmoji>> temporary;
  std::vector<std::vector<std::string>> remoteRequests;
  std::vector<std::vector<std::string>> localRequests;

  std::vector<std::shared_ptr<VXEmoji>> pick(const std::vector<std::shared_ptr<VXEmoji>>& from,
                                             const std::vector<std::string>& codes) {
    std::vector<std::shared_ptr<VXEmoji>> out;
    for (const auto& code : codes) {
      for (const auto& e : from) {
        if (e->emojiCode() == code) {
          out.push_back(e);
          break;
        }
      }
    }
    return out;
  }

  // The source refers to this world, which must outlive it.
  QLTextEmojiSource source() {
    QLTextEmojiSource s;
    s.fetchSmallEmojisByCodes = [this](const std::vector<std::string>& codes,
                                       QLTextEmojiSource::RemoteCompletion done) {
      remoteRequests.push_back(codes);
      if (remoteError) return done(*remoteError);
      auto found = pick(local, codes);
      for (auto& e : pick(remote, codes)) found.push_back(e);
      done(found);
    };
    s.fetchLocalSmallEmojisByCodes = [this](const std::vector<std::string>& codes,
                                            QLTextEmojiSource::LocalCompletion done) {
      localRequests.push_back(codes);
      done(pick(local, codes));
    };
    s.defaultPackages = [this] { return defaults; };
    s.allPackages = [this] {
      auto all = defaults;
      all.insert(all.end(), downloaded.begin(), downloaded.end());
      return all;
    };
    s.tempEmojiWithEmojiCode = [this](const std::string& code) -> std::shared_ptr<QLEmoji> {
      for (const auto& e : temporary) {
        if (e->emo_code() == code) return e;
      }
      return nullptr;
    };
    return s;
  }
};

}  // namespace vexa::test
