// Encodes an animated GIF with giflib: frames taken from canvases, each with
// its own delay, looping forever.
//
// Colours map onto a fixed palette (6 x 7 x 6 levels of red, green and
// blue) and pixels under half opacity become transparent, so the same
// frames always give the same bytes. One thread at a time.
#pragma once

#include <string>
#include <vector>

#include "vexa/platform/Result.h"
#include "service/Canvas.h"

namespace vexa::service {

class GifWriter {
 public:
  GifWriter(int width, int height) : width_(width), height_(height) {}

  // Adds the canvas's picture (of the writer's size) shown for the delay,
  // in hundredths of a second.
  void addFrame(const Canvas& canvas, int delayCentiseconds);
  Result<std::string> finish() const;

 private:
  struct Frame {
    std::vector<unsigned char> indexes;
    int delay;
  };
  int width_;
  int height_;
  std::vector<Frame> frames_;
};

}  // namespace vexa::service
