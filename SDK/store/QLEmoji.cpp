#include "vexa/store/QLEmoji.h"

#include "vexa/store/QLRecordChanges.h"
#include "vexa/store/RecordCoding.h"

namespace vexa {

const std::string& QLEmoji::str(const std::optional<std::string>& s) {
  static const std::string kEmpty;
  return s ? *s : kEmpty;
}

const QLEmoji::Tags& QLEmoji::tags() const { return RecordCoding::orEmpty(tags_); }

void QLEmoji::setTags(std::optional<Tags> v) {
  tags_ = v ? std::make_shared<const Tags>(std::move(*v)) : nullptr;
}

void QLEmoji::setEmo_code(std::optional<std::string> v) {
  emo_code_ = std::move(v);
  if (indexed_) QLRecordChanges::note();
}

void QLEmoji::updateWithKeyValues(const Value& kv) {
  if (indexed_ && kv.find("emo_code")) QLRecordChanges::note();
  RecordCoding::readString(kv, "guid", guid_);
  RecordCoding::readString(kv, "thumbail", thumbail_);
  RecordCoding::readString(kv, "emo_text", emo_text_);
  RecordCoding::readString(kv, "emo_code", emo_code_);
  RecordCoding::readString(kv, "main_image", main_image_);
  RecordCoding::readString(kv, "package_id", package_id_);
  RecordCoding::readRecords(kv, "tags", tags_);
  RecordCoding::readInteger(kv, "emojitype", emojiType_);
}

Value QLEmoji::keyValues() const {
  Value kv = Value::dict();
  RecordCoding::writeString(kv, "guid", guid_);
  RecordCoding::writeString(kv, "thumbail", thumbail_);
  RecordCoding::writeString(kv, "emo_text", emo_text_);
  RecordCoding::writeString(kv, "emo_code", emo_code_);
  RecordCoding::writeString(kv, "main_image", main_image_);
  RecordCoding::writeString(kv, "package_id", package_id_);
  RecordCoding::writeRecords(kv, "tags", tags_);
  kv["emojitype"] = Value(std::to_string(emojiType_));
  return kv;
}

}  // namespace vexa
