#include "vexa/store/image/QLGifFrameWindow.h"

#include <gif_lib.h>

#include <algorithm>
#include <new>

namespace vexa {

QLGifFrameWindow::QLGifFrameWindow(Bytes data, std::vector<Made> made,
                                   std::shared_ptr<const Bitmap> first,
                                   const QLImageLimits& limits, bool usesPrevious)
    : data_(std::move(data)), made_(std::move(made)), first_(std::move(first)), limits_(limits) {
  const uint64_t frame = first_->byteSize();
  uint64_t row = 0;
  for (const Made& m : made_) row = std::max<uint64_t>(row, uint64_t(std::max(m.area.width, 0)));
  // Always held: the first frame, the working canvas, the saved canvas of
  // "restore to previous", the row. The window gets what the budget leaves.
  const uint64_t fixed = frame * (usesPrevious ? 3 : 2) + row;
  const uint64_t budget = limits_.maxAnimationBytes;
  capacity_ = budget > fixed + frame ? size_t((budget - fixed) / frame) : 1;
  capacity_ = std::min(capacity_, std::max<size_t>(made_.size(), 2) - 1);
  bound_ = data_.size() + made_.size() * sizeof(Made) + size_t(fixed + capacity_ * frame);
}

std::shared_ptr<const Bitmap> QLGifFrameWindow::frameAtIndex(size_t index) const {
  if (index >= made_.size()) return nullptr;
  if (index == 0) return first_;
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = window_.begin(); it != window_.end(); ++it) {
    if (it->index != index) continue;
    window_.splice(window_.begin(), window_, it);
    return window_.front().bitmap;
  }
  try {
    return compose(index);
  } catch (const std::bad_alloc&) {
    cursor_.reset();
    return nullptr;
  }
}

size_t QLGifFrameWindow::bytesHeld() const {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t held = data_.size() + made_.size() * sizeof(Made) + first_->byteSize();
  for (const Kept& k : window_) held += k.bitmap->byteSize();
  if (cursor_) held += size_t(cursor_->workingBytes());
  return held;
}

// Sets the cursor at the nearest kept state before frame `index`: the
// cursor itself, a kept frame that can be continued (not one that restores
// to previous, whose saved canvas is gone), or the start of the file.
Status QLGifFrameWindow::startFrom(size_t index) const {
  const size_t cursorNext = cursor_ && cursorNext_ <= index ? cursorNext_ : 0;
  const Bitmap* from = nullptr;
  size_t fromNext = 0;
  if (made_.front().disposal != DISPOSE_PREVIOUS) {
    from = first_.get();
    fromNext = 1;
  }
  for (const Kept& k : window_) {
    if (k.index < index && k.index + 1 > fromNext && made_[k.index].disposal != DISPOSE_PREVIOUS) {
      from = k.bitmap.get();
      fromNext = k.index + 1;
    }
  }
  if (cursor_ && cursorNext_ <= index && cursorNext >= fromNext) return Status::Ok();
  cursor_ = std::make_unique<QLGifCompositor>(data_, limits_);
  if (!from) {
    cursorNext_ = 0;
    return cursor_->open();
  }
  cursorNext_ = fromNext;
  const Made& m = made_[fromNext - 1];
  return cursor_->resume(m.end, *from, m.disposal, m.area);
}

std::shared_ptr<Bitmap> QLGifFrameWindow::compose(size_t index) const {
  Status started = startFrom(index);
  while (started && cursorNext_ <= index) {
    Result<QLGifCompositor::Step> step = cursor_->next();
    if (!step.ok() || *step == QLGifCompositor::Step::Cut || *step == QLGifCompositor::Step::End) {
      break;
    }
    if (*step != QLGifCompositor::Step::Drawn) continue;
    if (cursorNext_++ == index) return keep(index, *cursor_->canvas());
  }
  // The same bytes composed the same way cannot fail where they did not
  // before, short of memory; the cursor is not trusted after it.
  cursor_.reset();
  return nullptr;
}

// The frame goes into the window, in the pixels of the least recently used
// frame when nobody else holds that one any more.
std::shared_ptr<Bitmap> QLGifFrameWindow::keep(size_t index, const Bitmap& canvas) const {
  std::shared_ptr<Bitmap> bitmap;
  if (window_.size() >= capacity_) {
    if (window_.back().bitmap.use_count() == 1) bitmap = std::move(window_.back().bitmap);
    window_.pop_back();
  }
  if (bitmap) {
    *bitmap = canvas;
  } else {
    bitmap = std::make_shared<Bitmap>(canvas);
  }
  window_.push_front(Kept{index, bitmap});
  return bitmap;
}

}  // namespace vexa
