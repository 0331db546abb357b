#include "vexa/store/image/QLGifSource.h"

#include <gif_lib.h>

#include <cstring>
#include <new>

#include "vexa/store/image/QLGifCompositor.h"
#include "vexa/store/image/QLGifFrameWindow.h"
#include "vexa/store/image/QLImageError.h"

namespace vexa {
namespace {

// One walk over the file: every frame composed; the composed pictures kept
// while they fit the animation budget, else only the first.
class FirstReading {
 public:
  FirstReading(std::span<const uint8_t> data, const QLImageLimits& limits)
      : data_(data), limits_(limits), compositor_(data, limits) {}

  Result<std::shared_ptr<const QLGifFrameWindow>> read() {
    if (Status s = compositor_.open(); !s) return s.error();
    // Known too large from the records alone: nothing but the first frame is
    // ever drawn. (A file with an empty screen is found out as it goes.)
    const QLGifCompositor::Outline outline = QLGifCompositor::outline(data_, limits_.maxFrames);
    windowed_ = outline.pictures >= 2 &&
                outline.screenBytes > limits_.maxAnimationBytes / outline.pictures;
    // A frame gets its picture just before the next one changes the canvas:
    // by a copy then, by a move once the file has ended or when it is the
    // only one kept.
    compositor_.setBeforeChange([this] { return snapshot(false); });
    for (;;) {
      Result<QLGifCompositor::Step> step = compositor_.next();
      if (!step.ok()) return step.error();
      if (*step == QLGifCompositor::Step::End) break;
      const QLGifCompositor::FrameRecord& record = compositor_.record();
      QLGifSource::Frame frame;
      if (record.delay) {
        frame.properties.unclampedDelayTime = record.delay;
        frame.properties.delayTime = record.delay;
      }
      frame.made = *step == QLGifCompositor::Step::Drawn;
      frames_.push_back(std::move(frame));
      if (*step == QLGifCompositor::Step::Cut) break;
      if (frames_.back().made) madeFrame(record);
    }
    if (Status s = snapshot(true); !s) return s.error();
    if (!windowed_ || made_.size() < 2) return std::shared_ptr<const QLGifFrameWindow>();
    return std::make_shared<const QLGifFrameWindow>(Bytes(data_.begin(), data_.end()),
                                                    std::move(made_), firstImage_, limits_,
                                                    usesPrevious_);
  }

  std::vector<QLGifSource::Frame>& frames() { return frames_; }
  bool truncated() const { return compositor_.damaged(); }

 private:
  void madeFrame(const QLGifCompositor::FrameRecord& record) {
    made_.push_back({record.disposal, record.area, record.end});
    usesPrevious_ = usesPrevious_ || record.disposal == DISPOSE_PREVIOUS;
    unsnapped_ = frames_.size() - 1;
    if (windowed_ || made_.size() < 2) return;
    const uint64_t frameBytes = compositor_.canvas()->byteSize();
    if (made_.size() * frameBytes <= limits_.maxAnimationBytes) return;
    // Too many to keep: all but the first are given back, and the rest of
    // the file is only read.
    windowed_ = true;
    compositor_.stopDrawing();
    for (QLGifSource::Frame& f : frames_) {
      if (!f.image || f.image == firstImage_) continue;
      f.image.reset();
      compositor_.refund(frameBytes);
    }
  }

  Status snapshot(bool last) {
    if (!unsnapped_) return Status::Ok();
    QLGifSource::Frame& frame = frames_[*unsnapped_];
    unsnapped_.reset();
    const bool first = !firstImage_;
    if (windowed_ && !first) return Status::Ok();
    if (last) {
      frame.image = std::shared_ptr<const Bitmap>(compositor_.takeCanvas());
    } else {
      if (Status s = compositor_.charge(compositor_.canvas()->byteSize()); !s) return s;
      // Nothing after the first frame is kept in a window, so its canvas
      // becomes its picture and the rest of the file is only read; the
      // charge stands for the window's working canvas.
      frame.image = windowed_ ? std::shared_ptr<const Bitmap>(compositor_.stopDrawing())
                              : std::make_shared<const Bitmap>(*compositor_.canvas());
    }
    if (first) firstImage_ = frame.image;
    return Status::Ok();
  }

  std::span<const uint8_t> data_;
  const QLImageLimits& limits_;
  QLGifCompositor compositor_;
  std::vector<QLGifSource::Frame> frames_;
  std::vector<QLGifFrameWindow::Made> made_;
  std::optional<size_t> unsnapped_;  // the last composed frame, not yet given its picture
  std::shared_ptr<const Bitmap> firstImage_;
  bool windowed_ = false;
  bool usesPrevious_ = false;
};

}  // namespace

QLGifSource::QLGifSource(std::vector<Frame> frames, bool truncated,
                         std::shared_ptr<const QLGifFrameWindow> window)
    : frames_(std::move(frames)), truncated_(truncated), window_(std::move(window)) {
  size_t made = 0;
  for (const Frame& f : frames_) madeIndex_.push_back(f.made ? made++ : made);
}

Result<std::shared_ptr<const QLGifSource>> QLGifSource::create(std::span<const uint8_t> data,
                                                               const QLImageLimits& limits) {
  if (data.size() < 6 || std::memcmp(data.data(), "GIF", 3) != 0) {
    return qlImageError(QLImageErrorCode::UnknownFormat, "GIF: no GIF signature");
  }
  try {
    FirstReading reading(data, limits);
    auto window = reading.read();
    if (!window.ok()) return window.error();
    return std::shared_ptr<const QLGifSource>(
        new QLGifSource(std::move(reading.frames()), reading.truncated(), std::move(*window)));
  } catch (const std::bad_alloc&) {
    return qlImageError(QLImageErrorCode::TooLarge, "GIF: out of memory");
  }
}

std::shared_ptr<const Bitmap> QLGifSource::imageAtIndex(size_t index) const {
  if (index >= frames_.size()) return nullptr;
  const Frame& frame = frames_[index];
  if (frame.image || !frame.made || !window_) return frame.image;
  return window_->frameAtIndex(madeIndex_[index]);
}

QLGifSource::FrameProperties QLGifSource::propertiesAtIndex(size_t index) const {
  return index < frames_.size() ? frames_[index].properties : FrameProperties{};
}

}  // namespace vexa
