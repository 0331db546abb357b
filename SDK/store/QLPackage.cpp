#include "vexa/store/QLPackage.h"

#include "vexa/store/QLRecordChanges.h"
#include "vexa/store/RecordCoding.h"

namespace vexa {

const std::string& QLPackage::str(const std::optional<std::string>& s) {
  static const std::string kEmpty;
  return s ? *s : kEmpty;
}

const QLPackage::Tags& QLPackage::tags() const { return RecordCoding::orEmpty(tags_); }
const QLPackage::Emojis& QLPackage::emojis() const { return RecordCoding::orEmpty(emojis_); }

void QLPackage::setTags(std::optional<Tags> v) {
  tags_ = v ? std::make_shared<const Tags>(std::move(*v)) : nullptr;
}

void QLPackage::setEmojis(std::optional<Emojis> v) {
  emojis_ = v ? std::make_shared<const Emojis>(std::move(*v)) : nullptr;
  if (indexed_) QLRecordChanges::note();
}

void QLPackage::updateWithKeyValues(const Value& kv) {
  if (indexed_ && kv.find("emoticions")) QLRecordChanges::note();
  RecordCoding::readBool(kv, "promotion", promotion_);
  RecordCoding::readBool(kv, "is_emoji", isEmoji_);
  RecordCoding::readString(kv, "recommend_pic", recommend_pic_);
  RecordCoding::readString(kv, "guid", guid_);
  RecordCoding::readString(kv, "name", name_);
  RecordCoding::readString(kv, "banner", banner_);
  RecordCoding::readString(kv, "chat_icon", chat_icon_);
  RecordCoding::readString(kv, "cover", cover_);
  RecordCoding::readString(kv, "intro", intro_);
  RecordCoding::readString(kv, "copyright", rightCopyRight_);
  RecordCoding::readString(kv, "author", author_);
  RecordCoding::readString(kv, "createtime", createTime_);
  RecordCoding::readString(kv, "updatetime", updateTime_);
  RecordCoding::readBool(kv, "isDefault", isDefault_);
  RecordCoding::readRecords(kv, "tags", tags_);
  RecordCoding::readRecords(kv, "emoticions", emojis_);
  RecordCoding::readString(kv, "packageText", packageText_);
  RecordCoding::readInteger(kv, "packageType", packageType_);
}

Value QLPackage::keyValues() const {
  Value kv = Value::dict();
  kv["isDefault"] = Value(isDefault_);
  kv["promotion"] = Value(promotion_);
  kv["is_emoji"] = Value(isEmoji_);
  RecordCoding::writeString(kv, "recommend_pic", recommend_pic_);
  RecordCoding::writeString(kv, "guid", guid_);
  RecordCoding::writeString(kv, "name", name_);
  RecordCoding::writeString(kv, "banner", banner_);
  RecordCoding::writeString(kv, "chat_icon", chat_icon_);
  RecordCoding::writeString(kv, "cover", cover_);
  RecordCoding::writeString(kv, "intro", intro_);
  RecordCoding::writeString(kv, "copyright", rightCopyRight_);
  RecordCoding::writeString(kv, "author", author_);
  RecordCoding::writeString(kv, "createtime", createTime_);
  RecordCoding::writeString(kv, "updatetime", updateTime_);
  RecordCoding::writeRecords(kv, "tags", tags_);
  RecordCoding::writeRecords(kv, "emoticions", emojis_);
  if (packageText_ && !packageText_->empty()) kv["packageText"] = Value(*packageText_);
  kv["packageType"] = Value(std::to_string(packageType_));
  return kv;
}

std::vector<std::string> QLPackage::mainImgURLStrsOfEmojis() const {
  std::vector<std::string> urls;
  for (const auto& emoji : emojis()) {
    if (!emoji->main_image().empty()) urls.push_back(emoji->main_image());
    if (!emoji->thumbail().empty()) urls.push_back(emoji->thumbail());
  }
  if (!chat_icon().empty()) urls.push_back(chat_icon());
  return urls;
}

}  // namespace vexa
