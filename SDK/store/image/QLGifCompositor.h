// Composes the frames of one GIF in file order onto a canvas of the logical
// screen, with giflib's low-level reader. QLGifSource runs it once over a
// whole file; QLGifFrameWindow runs it again from a kept state to compose a
// frame that is no longer held. Both go through this one code path, so a
// frame composed again has exactly the pixels it had the first time.
//
// Composition: the canvas starts transparent (the screen size, or the first
// frame's extent when the screen is declared empty); a frame draws its
// non-transparent pixels clipped to the canvas; "restore to background"
// clears the frame's area to transparent, "restore to previous" brings back
// the canvas as it was before the frame; a frame's disposal is applied when
// the next frame starts drawing. Indices past the colour map count as
// transparent. Only the rows of a frame that land on the canvas are decoded,
// a row at a time. The canvas, the saved canvas and the row count against
// the decoded-pixel budget of QLImageLimits, checked before allocation.
//
// One thread at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "vexa/platform/Image.h"
#include "vexa/platform/Result.h"
#include "vexa/store/image/QLImageLimits.h"

struct GifFileType;
struct ColorMapObject;

namespace vexa {

class QLGifCompositor {
 public:
  struct Area {
    int left = 0, top = 0, width = 0, height = 0;
  };

  // What one call of next() read.
  enum class Step {
    Drawn,  // a frame composed: canvas() shows it
    Empty,  // a frame without a picture (no colour map, empty size)
    Cut,    // a frame whose data ends early; nothing follows
    End,    // no more frames
  };

  // The last frame read. Delays in seconds; absent without a control block.
  struct FrameRecord {
    std::optional<double> delay;
    int disposal = 0;
    Area area;
    size_t end = 0;  // input offset just after the frame's data
  };

  QLGifCompositor(std::span<const uint8_t> data, const QLImageLimits& limits);
  ~QLGifCompositor();
  QLGifCompositor(const QLGifCompositor&) = delete;
  QLGifCompositor& operator=(const QLGifCompositor&) = delete;

  // Reads the header; positioned before the first frame.
  Status open();
  // Opens and continues after a frame whose data ends at `offset`: `composed`
  // is that frame's picture, `disposal` and `area` its disposal still to be
  // applied ("restore to previous" cannot be continued this way).
  Status resume(size_t offset, const Bitmap& composed, int disposal, const Area& area);

  // Frames with a colour table and a size, counted from the records alone
  // (no pixel is decoded), and the declared screen's bytes as ARGB32 (0
  // when the screen is empty or unreadable): what keeping every composed
  // frame would cost, known before any is composed. Reads no further than
  // the frame past `maxFrames`.
  struct Outline {
    size_t pictures = 0;
    uint64_t screenBytes = 0;
  };
  static Outline outline(std::span<const uint8_t> data, size_t maxFrames);

  // Reads records up to and including the next frame. An error is a passed
  // limit only; a damaged file gives Cut or End.
  Result<Step> next();
  const FrameRecord& record() const { return record_; }
  // Called once per frame just before the canvas changes, while it still
  // shows the previous frame; an error stops the walk.
  void setBeforeChange(std::function<Status()> beforeChange) { beforeChange_ = std::move(beforeChange); }

  // Whether the walk ended at damage (a cut, a bad record) rather than at
  // the file's end.
  bool damaged() const { return damaged_; }

  const Bitmap* canvas() const { return canvas_.get(); }
  std::unique_ptr<Bitmap> takeCanvas() { return std::move(canvas_); }
  // Hands the canvas over and stops drawing: later frames are still read
  // and their rows decoded (so damage is found exactly as before) and the
  // budget is charged for the buffers their composition takes, but no
  // pixel is written. For a walk that keeps nothing after the current frame.
  std::unique_ptr<Bitmap> stopDrawing();
  // Bytes of the working buffers: canvas, saved canvas, row.
  uint64_t workingBytes() const;
  // The decoded-pixel budget, for pictures the caller keeps as well.
  Status charge(uint64_t bytes);
  void refund(uint64_t bytes) { used_ -= std::min(bytes, used_); }

 private:
  Status beginComposing(int disposal);
  Result<bool> drawFrame(const Area& area, bool interlaced, int disposal);
  Result<Step> readFrame();
  bool readExtension();
  bool skipImageData();
  bool skipRemainingCode();
  Status sizeCanvas(const Area& first);
  void rowOrder(int height, bool interlaced);
  void applyPendingDisposal();
  void setPalette(const ColorMapObject& colors, int transparent);
  void drawRow(const Area& area, int y);

  struct Input {
    std::span<const uint8_t> data;
    size_t position = 0;
  };
  static int read(GifFileType* gif, uint8_t* out, int length);

  Input input_;
  const QLImageLimits& limits_;
  GifFileType* gif_ = nullptr;
  std::function<Status()> beforeChange_;
  FrameRecord record_;
  struct Control {
    double delay;
    int disposal;
    int transparent;
  };
  std::optional<Control> pendingControl_;
  int canvasWidth_ = 0, canvasHeight_ = 0;
  std::unique_ptr<Bitmap> canvas_;
  std::unique_ptr<Bitmap> saved_;
  std::vector<uint8_t> row_;
  std::vector<int> order_;
  uint32_t palette_[256] = {};
  bool opaque_[256] = {};
  bool allOpaque_ = false;
  int pendingDisposal_ = 0;
  Area pendingArea_;
  uint64_t used_ = 0;
  bool drawing_ = true;
  bool savedCharged_ = false;
  size_t framesRead_ = 0;
  bool ended_ = false;
  bool damaged_ = false;
};

}  // namespace vexa
