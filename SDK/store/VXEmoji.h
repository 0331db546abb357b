// The public form of an emoji, handed to the host application: identity,
// name, code, package and the image with its bytes. Never stored. Equality
// is identity (compare the shared pointers).
#pragma once

#include <memory>
#include <string>

#include "vexa/platform/Image.h"
#include "vexa/platform/Value.h"

namespace vexa {

class VXEmoji {
 public:
  const std::string& emojiId() const { return emojiId_; }
  void setEmojiId(std::string v) { emojiId_ = std::move(v); }
  const std::string& emojiName() const { return emojiName_; }
  void setEmojiName(std::string v) { emojiName_ = std::move(v); }
  const std::string& emojiCode() const { return emojiCode_; }
  void setEmojiCode(std::string v) { emojiCode_ = std::move(v); }
  // The decoded image, or nullptr when it is not available.
  const std::shared_ptr<const Image>& emojiImage() const { return emojiImage_; }
  void setEmojiImage(std::shared_ptr<const Image> v) { emojiImage_ = std::move(v); }
  // The image file's bytes, or nullptr.
  const std::shared_ptr<const Bytes>& emojiData() const { return emojiData_; }
  void setEmojiData(std::shared_ptr<const Bytes> v) { emojiData_ = std::move(v); }
  const std::string& packageId() const { return packageId_; }
  void setPackageId(std::string v) { packageId_ = std::move(v); }

 private:
  std::string emojiId_, emojiName_, emojiCode_, packageId_;
  std::shared_ptr<const Image> emojiImage_;
  std::shared_ptr<const Bytes> emojiData_;
};

}  // namespace vexa
