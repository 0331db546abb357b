// A GIF file read once with giflib: every frame composed onto the logical
// screen as the disposal methods require, with each frame's delay
// properties. The composed frames are kept, so the source is the decoding
// source that frame-by-frame questions are asked of.
//
// Composition: the canvas starts transparent (the screen size, or the first
// frame's extent when the screen is declared empty); a frame draws its
// non-transparent pixels clipped to the canvas; "restore to background"
// clears the frame's area to transparent, "restore to previous" brings back
// the canvas as it was before the frame. Indices past the colour map count
// as transparent. The background colour index is not used.
//
// Frames that cannot be created (no colour map, an empty size, data cut off)
// are counted but have no image. A file that passes a limit of
// QLImageLimits is refused as a whole, before the pixel memory is taken.
// Only the rows of a frame that land on the screen are decoded (the rest of
// its data is passed over), a row at a time, so a frame far larger than the
// screen costs neither time nor memory; the canvas, the saved canvas, the
// row and every composed frame count against one decoded-pixel budget.
//
// Immutable once created; safe to read from any thread.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/store/image/QLImageLimits.h"

namespace vexa {

class QLGifSource {
 public:
  // The frame's delay properties, in seconds; both are absent for a frame
  // without a graphic control extension.
  struct FrameProperties {
    std::optional<double> unclampedDelayTime;
    std::optional<double> delayTime;
  };

  struct Frame {
    std::shared_ptr<const Bitmap> image;  // nullptr when it could not be made
    FrameProperties properties;
  };

  static Result<std::shared_ptr<const QLGifSource>> create(std::span<const uint8_t> data,
                                                           const QLImageLimits& limits = {});

  // Frames in the file, including those that could not be created.
  size_t count() const { return frames_.size(); }
  // The composed canvas after frame i, or nullptr when it could not be made.
  std::shared_ptr<const Bitmap> imageAtIndex(size_t index) const;
  FrameProperties propertiesAtIndex(size_t index) const;
  // Whether the file ended early (the frames read so far are kept).
  bool truncated() const { return truncated_; }

 private:
  QLGifSource(std::vector<Frame> frames, bool truncated)
      : frames_(std::move(frames)), truncated_(truncated) {}
  std::vector<Frame> frames_;
  bool truncated_ = false;
};

}  // namespace vexa
