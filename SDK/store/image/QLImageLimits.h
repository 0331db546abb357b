// Bounds on what the decoders accept. Image files come from the network and
// from package archives, so sizes are checked against these limits as soon
// as a header declares them, before any pixel memory is allocated.
//
//   maxSide            16384 pixels for a width or a height
//   maxPixels          64 Mpx for one frame or canvas (256 MiB as ARGB32)
//   maxFrames          4096 frames of an animation
//   maxDecodedBytes    256 MiB of decoded pixels of one GIF: its composed
//                      frames and its working buffers (canvas, saved
//                      canvas, row) together
//   maxAnimationBytes  2 MiB of composed frames that an animation keeps;
//                      one that needs more keeps its compressed data, its
//                      first frame and a window of frames within this
//                      budget, and composes the others when asked (see
//                      QLGifFrameWindow). A host may change the default.
//   maxMetadataBytes   1 MiB for one metadata chunk (PNG eXIf and the like)
//   maxJpegScans       100 scans of a progressive JPEG
//   maxDecoderMemory   512 MiB that libjpeg may use for its own buffers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "vexa/platform/Result.h"

namespace vexa {

struct QLImageLimits {
  int maxSide = 16384;
  uint64_t maxPixels = uint64_t(64) << 20;
  size_t maxFrames = 4096;
  uint64_t maxDecodedBytes = uint64_t(256) << 20;
  uint64_t maxAnimationBytes = defaultMaxAnimationBytes();
  size_t maxMetadataBytes = size_t(1) << 20;
  int maxJpegScans = 100;
  size_t maxDecoderMemory = size_t(512) << 20;

  // Refuses a width or height that is not positive or is past the limits.
  // `what` names the image in the message ("PNG", "GIF frame 3").
  Status checkDimensions(int64_t width, int64_t height, const std::string& what) const;

  // The animation budget of limits made from now on, on every thread (the
  // decoders that callers reach without limits of their own use these).
  static uint64_t defaultMaxAnimationBytes();
  static void setDefaultMaxAnimationBytes(uint64_t bytes);
};

}  // namespace vexa
