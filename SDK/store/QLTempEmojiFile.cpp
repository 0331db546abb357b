#include "vexa/store/QLTempEmojiFile.h"

#include <sys/stat.h>

#include <algorithm>

#include "vexa/platform/FileSystem.h"
#include "vexa/platform/PropertyList.h"
#include "vexa/store/QLStoreError.h"

namespace vexa {

namespace {

bool fieldEquals(const Value& record, std::string_view key, std::string_view text) {
  const Value* v = record.find(key);
  return v && v->asString() && *v->asString() == text;
}

}  // namespace

std::optional<QLTempEmojiFile::Version> QLTempEmojiFile::versionOf(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return QLTempEmojiFile::Version{static_cast<uint64_t>(st.st_ino), static_cast<int64_t>(st.st_size),
                                  static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

Result<QLTempEmojiFile::Records> QLTempEmojiFile::read() const {
  auto version = versionOf(path_);
  if (!version) {
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec) && !ec) return Records(std::make_shared<Value::Array>());
  } else if (cached_ && cachedVersion_ == version) {
    return cached_;
  }
  auto list = PropertyList::readFile(path_);
  if (!list) return list.error();
  if (!list->isArray()) {
    return QLStoreError::make(QLStoreError::kMalformedRecord,
                              "Temporary emoji file is no list: " + path_.string());
  }
  cached_ = std::make_shared<const Value::Array>(std::move(*list->asArray()));
  cachedVersion_ = version;
  return cached_;
}

Status QLTempEmojiFile::write(Value::Array records) {
  cached_.reset();
  cachedVersion_.reset();
  if (auto made = FileSystem::createDirectories(path_.parent_path()); !made) return made;
  return PropertyList::writeFile(path_, Value(std::move(records)));
}

Status QLTempEmojiFile::save(const QLEmoji& emoji) {
  auto records = read();
  if (!records) return records.error();
  const std::string& code = emoji.emo_code();
  const Value::Array& stored = **records;
  if (std::any_of(stored.begin(), stored.end(),
                  [&](const Value& r) { return fieldEquals(r, "emo_code", code); })) {
    return Status::Ok();
  }
  Value::Array updated = stored;
  updated.push_back(emoji.keyValues());
  return write(std::move(updated));
}

Status QLTempEmojiFile::remove(const QLEmoji& emoji) {
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec)) return Status::Ok();
  auto records = read();
  if (!records) return records.error();
  Value::Array updated = **records;
  const size_t before = updated.size();
  std::erase_if(updated, [&](const Value& r) { return fieldEquals(r, "guid", emoji.guid()); });
  if (updated.size() == before) return Status::Ok();
  return write(std::move(updated));
}

std::shared_ptr<QLEmoji> QLTempEmojiFile::emojiWithCode(std::string_view code) const {
  auto records = read();
  if (!records) return nullptr;
  for (const Value& r : **records) {
    if (r.isDictionary() && fieldEquals(r, "emo_code", code)) {
      auto emoji = std::make_shared<QLEmoji>();
      emoji->updateWithKeyValues(r);
      return emoji;
    }
  }
  return nullptr;
}

Status QLTempEmojiFile::clear() { return write(Value::Array{}); }

}  // namespace vexa
