// An emoticon package: its description from the service, its emojis in
// service order, and its download progress (memory only, observable).
//
// Shared by reference (std::shared_ptr<QLPackage>) between the store, the
// keyboard and the screens; equal to another package with the same guid.
// Main thread only once shared. String fields read empty when unset;
// keyValues() writes only those set.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/platform/Observable.h"
#include "vexa/platform/Value.h"
#include "vexa/store/QLEmoji.h"
#include "vexa/store/QLTag.h"

namespace vexa {

class QLPackage {
 public:
  using Tags = std::vector<std::shared_ptr<QLTag>>;
  using Emojis = std::vector<std::shared_ptr<QLEmoji>>;

  // The packageType of the default small-emoji packages.
  static constexpr int64_t kDefaultSmallEmojiType = 2;

  bool promotion() const { return promotion_; }
  void setPromotion(bool v) { promotion_ = v; }
  // True for small emojis (inline in text), false for big ones (stickers).
  bool isEmoji() const { return isEmoji_; }
  void setIsEmoji(bool v) { isEmoji_ = v; }
  const std::string& recommend_pic() const { return str(recommend_pic_); }
  void setRecommend_pic(std::optional<std::string> v) { recommend_pic_ = std::move(v); }
  const std::string& guid() const { return str(guid_); }
  void setGuid(std::optional<std::string> v) { guid_ = std::move(v); }
  const std::string& name() const { return str(name_); }
  void setName(std::optional<std::string> v) { name_ = std::move(v); }
  const std::string& banner() const { return str(banner_); }
  void setBanner(std::optional<std::string> v) { banner_ = std::move(v); }
  const std::string& chat_icon() const { return str(chat_icon_); }
  void setChat_icon(std::optional<std::string> v) { chat_icon_ = std::move(v); }
  const std::string& cover() const { return str(cover_); }
  void setCover(std::optional<std::string> v) { cover_ = std::move(v); }
  const std::string& intro() const { return str(intro_); }
  void setIntro(std::optional<std::string> v) { intro_ = std::move(v); }
  // Read and written under "copyright".
  const std::string& rightCopyRight() const { return str(rightCopyRight_); }
  void setRightCopyRight(std::optional<std::string> v) { rightCopyRight_ = std::move(v); }
  const std::string& author() const { return str(author_); }
  void setAuthor(std::optional<std::string> v) { author_ = std::move(v); }
  // Times as the service sent them, not converted.
  const std::string& createTime() const { return str(createTime_); }
  void setCreateTime(std::optional<std::string> v) { createTime_ = std::move(v); }
  const std::string& updateTime() const { return str(updateTime_); }
  void setUpdateTime(std::optional<std::string> v) { updateTime_ = std::move(v); }
  bool isDefault() const { return isDefault_; }
  void setIsDefault(bool v) { isDefault_ = v; }
  const Tags& tags() const;
  bool hasTags() const { return tags_ != nullptr; }
  void setTags(std::optional<Tags> v);
  // The emojis, in service order (read and written under "emoticions").
  // Setting them counts a record change (QLRecordChanges) once a code index
  // holds the package.
  const Emojis& emojis() const;
  bool hasEmojis() const { return emojis_ != nullptr; }
  void setEmojis(std::optional<Emojis> v);
  const std::string& packageText() const { return str(packageText_); }
  void setPackageText(std::optional<std::string> v) { packageText_ = std::move(v); }
  int64_t packageType() const { return packageType_; }
  void setPackageType(int64_t v) { packageType_ = v; }

  // Download progress, 0...1; never stored.
  double progress() const { return progress_.get(); }
  void setProgress(double v) { progress_.set(v); }
  // Observers are told every new progress value on the setting thread.
  [[nodiscard]] Subscription observeProgress(std::function<void(const double&)> callback) {
    return progress_.observe(std::move(callback));
  }

  void updateWithKeyValues(const Value& keyValues);
  Value keyValues() const;

  // Image URLs a complete package needs on the device: each emoji's main
  // image then thumbnail (when not empty), then the chat icon. Duplicates stay.
  std::vector<std::string> mainImgURLStrsOfEmojis() const;

  bool isEqual(const QLPackage& other) const { return guid() == other.guid(); }
  bool operator==(const QLPackage& other) const { return isEqual(other); }
  size_t hash() const { return std::hash<std::string>()(guid()); }

 private:
  friend class QLCodeIndex;
  static const std::string& str(const std::optional<std::string>& s);

  // Set by a code index that holds this package (see QLEmoji).
  mutable bool indexed_ = false;
  bool promotion_ = false;
  bool isEmoji_ = false;
  bool isDefault_ = false;
  std::optional<std::string> recommend_pic_, guid_, name_, banner_, chat_icon_, cover_, intro_,
      rightCopyRight_, author_, createTime_, updateTime_, packageText_;
  std::shared_ptr<const Tags> tags_;
  std::shared_ptr<const Emojis> emojis_;
  int64_t packageType_ = 0;
  Observable<double> progress_{0.0};
};

}  // namespace vexa

template <>
struct std::hash<vexa::QLPackage> {
  size_t operator()(const vexa::QLPackage& p) const { return p.hash(); }
};
