#include "vexa/text/QLTextAttachment.h"

namespace vexa {

void QLTextAttachment::setEmoji(std::shared_ptr<VXEmoji> emoji) {
  if (emoji == emoji_) return;
  emoji_ = std::move(emoji);
  auto image = emoji_ ? emoji_->emojiImage() : nullptr;
  setImage(image);
  if (!image) {
    setAttachmentBounds(Rect());
    return;
  }
  Size points = image->size();
  setAttachmentBounds(Rect(0, 0, points.width * image->scale() * 0.25,
                           points.height * image->scale() * 0.25));
}

}  // namespace vexa
