// A GIF file read once with giflib: every frame composed onto the logical
// screen as the disposal methods require (QLGifCompositor), with each
// frame's delay properties. The source is the decoding source that
// frame-by-frame questions are asked of.
//
// While the composed frames together fit QLImageLimits::maxAnimationBytes
// they are all kept. Past it only the first composed frame is kept, and the
// others are composed again when asked for (QLGifFrameWindow): with exactly
// the same pixels, at the cost of decoding them again.
//
// Frames that cannot be created (no colour map, an empty size, data cut off)
// are counted but have no image. A file that passes a limit of
// QLImageLimits is refused as a whole, before the pixel memory is taken.
// Only the rows of a frame that land on the screen are decoded, so a frame
// far larger than the screen costs neither time nor memory; the working
// canvases and every kept frame count against one decoded-pixel budget.
//
// Immutable once created (a window composes behind a lock); safe to read
// from any thread.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/store/image/QLImageLimits.h"

namespace vexa {

class QLGifFrameWindow;

class QLGifSource {
 public:
  // The frame's delay properties, in seconds; both are absent for a frame
  // without a graphic control extension.
  struct FrameProperties {
    std::optional<double> unclampedDelayTime;
    std::optional<double> delayTime;
  };

  struct Frame {
    std::shared_ptr<const Bitmap> image;  // nullptr when not made, or not kept
    FrameProperties properties;
    bool made = false;                    // whether it has a picture
  };

  static Result<std::shared_ptr<const QLGifSource>> create(std::span<const uint8_t> data,
                                                           const QLImageLimits& limits = {});

  // Frames in the file, including those that could not be created.
  size_t count() const { return frames_.size(); }
  // The composed canvas after frame i, or nullptr when it could not be made
  // (or, composed on demand, memory ran out).
  std::shared_ptr<const Bitmap> imageAtIndex(size_t index) const;
  bool hasImageAtIndex(size_t index) const { return index < frames_.size() && frames_[index].made; }
  FrameProperties propertiesAtIndex(size_t index) const;
  // Whether the file ended early (the frames read so far are kept).
  bool truncated() const { return truncated_; }
  // The made frames, composed on demand, when they were too many to keep;
  // nullptr when every one is kept.
  const std::shared_ptr<const QLGifFrameWindow>& window() const { return window_; }

 private:
  QLGifSource(std::vector<Frame> frames, bool truncated,
              std::shared_ptr<const QLGifFrameWindow> window);
  std::vector<Frame> frames_;
  std::vector<size_t> madeIndex_;  // per frame: its index among the made ones
  bool truncated_ = false;
  std::shared_ptr<const QLGifFrameWindow> window_;
};

}  // namespace vexa
