// The frames of a GIF animation too large to keep composed: the compressed
// data, the first frame and a window of recently composed frames are held;
// any other frame is composed when asked for, from the nearest kept state
// before it (a frame in the window, the canvas left by the last
// composition, or the start of the file), by the same compositor that read
// the file first, so every frame has exactly the pixels of a full decode.
//
// The window holds as many frames as fit the animation budget
// (QLImageLimits::maxAnimationBytes) next to the first frame and the
// working canvases, and never fewer than one. Playing in order costs one
// frame's decoding per frame.
//
// Safe to call from any thread at once: composition runs under a lock.
#pragma once

#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include "vexa/platform/AnimationFrames.h"
#include "vexa/platform/Image.h"
#include "vexa/platform/Value.h"
#include "vexa/store/image/QLGifCompositor.h"
#include "vexa/store/image/QLImageLimits.h"

namespace vexa {

class QLGifFrameWindow : public AnimationFrames {
 public:
  // A composed frame of the file, as the first reading found it.
  struct Made {
    int disposal = 0;
    QLGifCompositor::Area area;
    size_t end = 0;  // input offset after its data
  };

  // `made` lists the frames that have a picture, in order; `first` is the
  // first one's picture. `usesPrevious`: some frame restores to previous.
  QLGifFrameWindow(Bytes data, std::vector<Made> made, std::shared_ptr<const Bitmap> first,
                   const QLImageLimits& limits, bool usesPrevious);

  size_t count() const override { return made_.size(); }
  std::shared_ptr<const Bitmap> frameAtIndex(size_t index) const override;
  size_t byteSize() const override { return bound_; }
  size_t bytesHeld() const override;
  bool composesOnDemand() const override { return true; }
  // Frames the window may hold besides the first.
  size_t windowFrames() const { return capacity_; }

 private:
  struct Kept {
    size_t index;
    std::shared_ptr<Bitmap> bitmap;
  };

  std::shared_ptr<Bitmap> compose(size_t index) const;
  Status startFrom(size_t index) const;
  std::shared_ptr<Bitmap> keep(size_t index, const Bitmap& canvas) const;

  const Bytes data_;
  const std::vector<Made> made_;
  const std::shared_ptr<const Bitmap> first_;
  const QLImageLimits limits_;
  size_t capacity_ = 1;
  size_t bound_ = 0;

  mutable std::mutex mutex_;
  mutable std::list<Kept> window_;  // most recently used first
  mutable std::unique_ptr<QLGifCompositor> cursor_;
  mutable size_t cursorNext_ = 0;  // the frame the cursor composes next
};

}  // namespace vexa
