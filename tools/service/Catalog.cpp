#include "service/Catalog.h"

namespace vexa::service {

namespace {

template <typename Map>
const typename Map::mapped_type* findIn(const Map& map, std::string_view key) {
  auto it = map.find(key);
  return it == map.end() ? nullptr : &it->second;
}

}  // namespace

Catalog::Catalog(Contents contents) : c_(std::move(contents)) {
  for (size_t i = 0; i < c_.packages.size(); ++i) packageIndex_.emplace(c_.packages[i].guid, i);
  for (size_t i = 0; i < c_.emojis.size(); ++i) {
    const Emoji& e = c_.emojis[i];
    emojiIndex_.emplace(e.guid, i);
    (e.isSmall ? smallCodes_ : bigCodes_).emplace(e.code, i);
  }
}

const Catalog::Package* Catalog::package(std::string_view guid) const {
  const size_t* index = findIn(packageIndex_, guid);
  return index ? &c_.packages[*index] : nullptr;
}

const Catalog::Emoji* Catalog::emoji(std::string_view guid) const {
  const size_t* index = findIn(emojiIndex_, guid);
  return index ? &c_.emojis[*index] : nullptr;
}

const Catalog::Emoji* Catalog::smallEmojiByCode(std::string_view code) const {
  const size_t* index = findIn(smallCodes_, code);
  return index ? &c_.emojis[*index] : nullptr;
}

const Catalog::Emoji* Catalog::bigEmojiByCode(std::string_view code) const {
  const size_t* index = findIn(bigCodes_, code);
  return index ? &c_.emojis[*index] : nullptr;
}

std::vector<const Catalog::Emoji*> Catalog::emojisOf(const Package& package) const {
  std::vector<const Emoji*> result;
  result.reserve(package.emojiGuids.size());
  for (const auto& guid : package.emojiGuids) {
    if (const Emoji* e = emoji(guid)) result.push_back(e);
  }
  return result;
}

std::optional<std::filesystem::path> Catalog::fileForReference(std::string_view reference) const {
  const std::filesystem::path* path = findIn(c_.files, reference);
  return path ? std::optional(*path) : std::nullopt;
}

const std::string* Catalog::archive(std::string_view guid) const { return findIn(c_.archives, guid); }

bool Catalog::isLocalReference(std::string_view reference) {
  return !(reference.starts_with("http://") || reference.starts_with("https://"));
}

}  // namespace vexa::service
