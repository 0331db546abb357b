#include "store/QLTempEmojiFile.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/PropertyList.h"
#include "store/QLStoreError.h"

namespace vexa {

namespace {

bool fieldEquals(const Value& record, std::string_view key, std::string_view text) {
  const Value* v = record.find(key);
  return v && v->asString() && *v->asString() == text;
}

}  // namespace

Result<Value::Array> QLTempEmojiFile::read() const {
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec) && !ec) return Value::Array{};
  auto list = PropertyList::readFile(path_);
  if (!list) return list.error();
  if (!list->isArray()) {
    return QLStoreError::make(QLStoreError::kMalformedRecord,
                              "Temporary emoji file is no list: " + path_.string());
  }
  return std::move(*list->asArray());
}

Status QLTempEmojiFile::save(const QLEmoji& emoji) {
  auto records = read();
  if (!records) return records.error();
  const std::string& code = emoji.emo_code();
  if (std::any_of(records->begin(), records->end(),
                  [&](const Value& r) { return fieldEquals(r, "emo_code", code); })) {
    return Status::Ok();
  }
  records->push_back(emoji.keyValues());
  if (auto made = FileSystem::createDirectories(path_.parent_path()); !made) return made;
  return PropertyList::writeFile(path_, Value(std::move(*records)));
}

Status QLTempEmojiFile::remove(const QLEmoji& emoji) {
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec)) return Status::Ok();
  auto records = read();
  if (!records) return records.error();
  const size_t before = records->size();
  std::erase_if(*records, [&](const Value& r) { return fieldEquals(r, "guid", emoji.guid()); });
  if (records->size() == before) return Status::Ok();
  return PropertyList::writeFile(path_, Value(std::move(*records)));
}

std::shared_ptr<QLEmoji> QLTempEmojiFile::emojiWithCode(std::string_view code) const {
  auto records = read();
  if (!records) return nullptr;
  for (const Value& r : *records) {
    if (r.isDictionary() && fieldEquals(r, "emo_code", code)) {
      auto emoji = std::make_shared<QLEmoji>();
      emoji->updateWithKeyValues(r);
      return emoji;
    }
  }
  return nullptr;
}

Status QLTempEmojiFile::clear() {
  if (auto made = FileSystem::createDirectories(path_.parent_path()); !made) return made;
  return PropertyList::writeFile(path_, Value(Value::Array{}));
}

}  // namespace vexa
