// The enlarged picture a long press on an emoji shows (the keyboard's grid,
// the package detail's preview): a square image view in a popover with an
// 18-point inset whose arrow points at the middle of the cell's top edge,
// over a clear overlay that lets touches through. An open preview moves to
// the next cell at once; closing it records a 0.4 s fade-out. The content
// mode follows the picture (scaled to fit when larger, centred when not).
// Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/Image.h"
#include "vexa/support/QLPopoverView.h"

namespace vexa {

class ImageView;

class QLEmojiPreviewPopover {
 public:
  static constexpr double kContentInset = 18;

  // `side`: the picture's width and height in points.
  explicit QLEmojiPreviewPopover(double side) : side_(side) {}
  ~QLEmojiPreviewPopover();
  QLEmojiPreviewPopover(const QLEmojiPreviewPopover&) = delete;
  QLEmojiPreviewPopover& operator=(const QLEmojiPreviewPopover&) = delete;

  // Shows `image` (nullptr: an empty preview) above `cell`, inside `container`.
  void show(std::shared_ptr<const Image> image, const View& cell, View& container);
  // Replaces the picture of the open preview (nothing when none is open).
  void setImage(std::shared_ptr<const Image> image);
  // Closes the open preview; nothing when none is open.
  void dismiss();

  // The open popover, or nullptr.
  const std::shared_ptr<QLPopoverView>& popover() const { return popover_; }
  const std::shared_ptr<ImageView>& imageView() const { return content_; }

 private:
  double side_;
  std::shared_ptr<QLPopoverView> popover_;
  std::shared_ptr<ImageView> content_;
};

}  // namespace vexa
