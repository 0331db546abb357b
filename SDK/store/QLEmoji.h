// One emoji of a package, as the service describes it and the store keeps
// it. Shared by reference (std::shared_ptr<QLEmoji>); equal to another emoji
// with the same guid. Main thread only once shared.
//
// String fields read empty when unset; keyValues() writes only those set.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/platform/Value.h"
#include "vexa/store/QLTag.h"

namespace vexa {

class QLEmoji {
 public:
  using Tags = std::vector<std::shared_ptr<QLTag>>;

  const std::string& guid() const { return str(guid_); }
  void setGuid(std::optional<std::string> v) { guid_ = std::move(v); }
  // URL of the thumbnail image (the service's spelling).
  const std::string& thumbail() const { return str(thumbail_); }
  void setThumbail(std::optional<std::string> v) { thumbail_ = std::move(v); }
  const std::string& emo_text() const { return str(emo_text_); }
  void setEmo_text(std::optional<std::string> v) { emo_text_ = std::move(v); }
  // The code by which the emoji is written in text, between brackets.
  const std::string& emo_code() const { return str(emo_code_); }
  // Counts a record change (QLRecordChanges) once a code index holds it.
  void setEmo_code(std::optional<std::string> v);
  // URL of the full image; also its key in the image store.
  const std::string& main_image() const { return str(main_image_); }
  void setMain_image(std::optional<std::string> v) { main_image_ = std::move(v); }
  const std::string& package_id() const { return str(package_id_); }
  void setPackage_id(std::optional<std::string> v) { package_id_ = std::move(v); }
  const Tags& tags() const;
  bool hasTags() const { return tags_ != nullptr; }
  void setTags(std::optional<Tags> v);
  int64_t emojiType() const { return emojiType_; }
  void setEmojiType(int64_t v) { emojiType_ = v; }

  // Fills the fields from a service or store dictionary; absent keys leave
  // fields unchanged, so a second call merges.
  void updateWithKeyValues(const Value& keyValues);
  Value keyValues() const;

  // Identity is the guid.
  bool isEqual(const QLEmoji& other) const { return guid() == other.guid(); }
  bool operator==(const QLEmoji& other) const { return isEqual(other); }
  size_t hash() const { return std::hash<std::string>()(guid()); }

 private:
  friend class QLCodeIndex;
  static const std::string& str(const std::optional<std::string>& s);

  std::optional<std::string> guid_, thumbail_, emo_text_, emo_code_, main_image_, package_id_;
  // Set by a code index that holds this emoji; only then do code changes
  // count, so records made and changed outside any store cost no rebuild.
  mutable bool indexed_ = false;
  std::shared_ptr<const Tags> tags_;
  int64_t emojiType_ = 0;
};

}  // namespace vexa

template <>
struct std::hash<vexa::QLEmoji> {
  size_t operator()(const vexa::QLEmoji& e) const { return e.hash(); }
};
