// The inline image of a small emoji in rich text. It remembers its emoji, so
// that the rich text can be written back as plain text with the emoji's
// bracketed code. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/TextAttachment.h"
#include "vexa/store/VXEmoji.h"

namespace vexa {

class QLTextAttachment : public TextAttachment {
 public:
  QLTextAttachment() = default;
  explicit QLTextAttachment(std::shared_ptr<VXEmoji> emoji) { setEmoji(std::move(emoji)); }

  const std::shared_ptr<VXEmoji>& emoji() const { return emoji_; }
  // Takes the emoji's image, sized a quarter of its pixel size in points
  // (a 120 x 120 pixel image stands 30 x 30 in the text). Setting the same
  // emoji again changes nothing.
  void setEmoji(std::shared_ptr<VXEmoji> emoji);

 private:
  std::shared_ptr<VXEmoji> emoji_;
};

}  // namespace vexa
