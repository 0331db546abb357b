// An inline image in rich text: one attachment character (U+FFFC) carries it
// as an attribute. Subclasses add what the image stands for.
//
// Shared by std::shared_ptr between texts (copies of a text share their
// attachments). Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/Image.h"

namespace vexa {

class TextAttachment {
 public:
  virtual ~TextAttachment() = default;

  const std::shared_ptr<const Image>& image() const { return image_; }
  void setImage(std::shared_ptr<const Image> image) { image_ = std::move(image); }
  // The image's rectangle in the line, in points.
  const Rect& attachmentBounds() const { return bounds_; }
  void setAttachmentBounds(const Rect& bounds) { bounds_ = bounds; }

 private:
  std::shared_ptr<const Image> image_;
  Rect bounds_;
};

}  // namespace vexa
