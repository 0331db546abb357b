// The frames of an animated image, asked for by index. An implementation
// may hold every frame or compose frames when they are asked for; either
// way the frame at an index is always the same picture.
//
// Implementations are safe to call from any thread at once.
#pragma once

#include <cstddef>
#include <memory>

namespace vexa {

class Bitmap;

class AnimationFrames {
 public:
  virtual ~AnimationFrames() = default;

  virtual size_t count() const = 0;
  // The frame at `index`; nullptr past the end, or when the memory to
  // compose it could not be had.
  virtual std::shared_ptr<const Bitmap> frameAtIndex(size_t index) const = 0;
  // The most bytes these frames hold at any time (pixels and any data kept
  // to compose them): the cost the memory cache counts.
  virtual size_t byteSize() const = 0;
  // The bytes held now (never more than byteSize()).
  virtual size_t bytesHeld() const = 0;
  // True when frames are made when asked for rather than all held: a copy
  // of every frame would hold the memory this spares.
  virtual bool composesOnDemand() const = 0;
};

}  // namespace vexa
