#include "vexa/store/image/QLGifCompositor.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "vexa/store/image/QLImageError.h"
#include "vexa/store/image/QLPixelConversion.h"

namespace vexa {

QLGifCompositor::QLGifCompositor(std::span<const uint8_t> data, const QLImageLimits& limits)
    : input_{data, 0}, limits_(limits) {}

QLGifCompositor::~QLGifCompositor() {
  if (gif_) {
    int error = 0;
    DGifCloseFile(gif_, &error);
  }
}

int QLGifCompositor::read(GifFileType* gif, uint8_t* out, int length) {
  auto* in = static_cast<Input*>(gif->UserData);
  if (length <= 0) return 0;
  const size_t n = std::min(static_cast<size_t>(length), in->data.size() - in->position);
  std::memcpy(out, in->data.data() + in->position, n);
  in->position += n;
  return static_cast<int>(n);
}

Status QLGifCompositor::open() {
  int error = 0;
  gif_ = DGifOpen(&input_, read, &error);
  if (!gif_) {
    const char* why = GifErrorString(error);
    return qlImageError(QLImageErrorCode::Malformed,
                        std::string("GIF: ") + (why ? why : "unreadable header"));
  }
  return Status::Ok();
}

Status QLGifCompositor::resume(size_t offset, const Bitmap& composed, int disposal,
                               const Area& area) {
  if (disposal == DISPOSE_PREVIOUS) {
    return qlImageError(QLImageErrorCode::Malformed, "GIF: no saved canvas to continue from");
  }
  if (Status s = open(); !s) return s;
  input_.position = std::min(offset, input_.data.size());
  canvasWidth_ = composed.width();
  canvasHeight_ = composed.height();
  if (Status s = charge(composed.byteSize()); !s) return s;
  canvas_ = std::make_unique<Bitmap>(composed);
  pendingDisposal_ = disposal;
  pendingArea_ = area;
  return Status::Ok();
}

QLGifCompositor::Outline QLGifCompositor::outline(std::span<const uint8_t> data,
                                                  size_t maxFrames) {
  QLImageLimits limits;
  QLGifCompositor reader(data, limits);
  Outline outline;
  if (!reader.open()) return outline;
  outline.screenBytes = uint64_t(std::max(reader.gif_->SWidth, 0)) *
                        uint64_t(std::max(reader.gif_->SHeight, 0)) * 4;
  for (size_t frames = 0; frames <= maxFrames;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(reader.gif_, &type) == GIF_ERROR) break;
    if (type == EXTENSION_RECORD_TYPE) {
      if (!reader.readExtension()) break;
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(reader.gif_) == GIF_ERROR) break;
    ++frames;
    const GifImageDesc& desc = reader.gif_->Image;
    const ColorMapObject* colors = desc.ColorMap ? desc.ColorMap : reader.gif_->SColorMap;
    if (colors && colors->ColorCount > 0 && desc.Width > 0 && desc.Height > 0) {
      ++outline.pictures;
    }
    if (!reader.skipImageData()) break;
  }
  return outline;
}

std::unique_ptr<Bitmap> QLGifCompositor::stopDrawing() {
  drawing_ = false;
  saved_.reset();
  return std::move(canvas_);
}

uint64_t QLGifCompositor::workingBytes() const {
  return (canvas_ ? canvas_->byteSize() : 0) + (saved_ ? saved_->byteSize() : 0) + row_.size();
}

Status QLGifCompositor::charge(uint64_t bytes) {
  if (bytes > limits_.maxDecodedBytes || used_ > limits_.maxDecodedBytes - bytes) {
    return qlImageError(QLImageErrorCode::TooLarge,
                        "GIF needs more than " + std::to_string(limits_.maxDecodedBytes) +
                            " bytes of decoded pixels");
  }
  used_ += bytes;
  return Status::Ok();
}

Result<QLGifCompositor::Step> QLGifCompositor::next() {
  while (!ended_) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif_, &type) == GIF_ERROR) break;
    if (type == IMAGE_DESC_RECORD_TYPE) return readFrame();
    if (type == TERMINATE_RECORD_TYPE) {
      ended_ = true;
      return Step::End;
    }
    if (type != EXTENSION_RECORD_TYPE || !readExtension()) break;
  }
  ended_ = true;
  damaged_ = true;
  return Step::End;
}

bool QLGifCompositor::readExtension() {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block) {
    GraphicsControlBlock gcb{};
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) {
      pendingControl_ = Control{gcb.DelayTime / 100.0, gcb.DisposalMode, gcb.TransparentColor};
    }
  }
  while (block) {
    if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR) return false;
  }
  return true;
}

bool QLGifCompositor::skipImageData() {
  int codeSize = 0;
  GifByteType* block = nullptr;
  if (DGifGetCode(gif_, &codeSize, &block) == GIF_ERROR) return false;
  while (block) {
    if (DGifGetCodeNext(gif_, &block) == GIF_ERROR) return false;
  }
  return true;
}

bool QLGifCompositor::skipRemainingCode() {
  GifByteType* block = nullptr;
  do {
    if (DGifGetCodeNext(gif_, &block) == GIF_ERROR) return false;
  } while (block);
  return true;
}

Result<QLGifCompositor::Step> QLGifCompositor::readFrame() {
  if (DGifGetImageDesc(gif_) == GIF_ERROR) {
    ended_ = damaged_ = true;
    return Step::End;
  }
  const std::optional<Control> control = pendingControl_;
  pendingControl_.reset();
  if (++framesRead_ > limits_.maxFrames) {
    return qlImageError(QLImageErrorCode::TooLarge,
                        "GIF has more than " + std::to_string(limits_.maxFrames) + " frames");
  }
  const GifImageDesc& desc = gif_->Image;
  const ColorMapObject* colors = desc.ColorMap ? desc.ColorMap : gif_->SColorMap;
  const Area area{desc.Left, desc.Top, desc.Width, desc.Height};
  record_ = FrameRecord{};
  if (control) record_.delay = control->delay;
  record_.area = area;
  auto finish = [this](Step step) {
    record_.end = input_.position;
    if (step == Step::Cut) ended_ = damaged_ = true;
    return step;
  };
  if (!colors || colors->ColorCount <= 0 || area.width <= 0 || area.height <= 0) {
    return finish(skipImageData() ? Step::Empty : Step::Cut);
  }
  if (Status s = sizeCanvas(area); !s) return s.error();
  const int disposal = control ? control->disposal : DISPOSAL_UNSPECIFIED;
  const int transparent = control ? control->transparent : NO_TRANSPARENT_COLOR;
  setPalette(*colors, transparent);
  Result<bool> drawn = drawFrame(area, desc.Interlace, disposal);
  if (!drawn.ok()) return drawn.error();
  if (!*drawn) return finish(Step::Cut);
  record_.disposal = disposal;
  pendingDisposal_ = disposal;
  pendingArea_ = area;
  return finish(Step::Drawn);
}

Status QLGifCompositor::sizeCanvas(const Area& first) {
  if (canvasWidth_ > 0) return Status::Ok();
  int64_t width = gif_->SWidth, height = gif_->SHeight;
  if (width <= 0 || height <= 0) {
    width = int64_t(first.left) + first.width;
    height = int64_t(first.top) + first.height;
  }
  if (Status s = limits_.checkDimensions(width, height, "GIF screen"); !s) return s;
  canvasWidth_ = static_cast<int>(width);
  canvasHeight_ = static_cast<int>(height);
  return Status::Ok();
}

// Before the frame changes the canvas: the previous frame keeps its picture,
// the previous disposal is applied and, for "restore to previous", the
// canvas is saved. The canvas itself is made only now, so a file that
// declares a huge screen but cannot fill one row costs nothing.
Status QLGifCompositor::beginComposing(int disposal) {
  if (beforeChange_) {
    if (Status s = beforeChange_(); !s) return s;
  }
  if (!drawing_) {
    if (disposal == DISPOSE_PREVIOUS && !savedCharged_) {
      if (Status s = charge(uint64_t(canvasWidth_) * uint64_t(canvasHeight_) * 4); !s) return s;
      savedCharged_ = true;
    }
    return Status::Ok();
  }
  if (!canvas_) {
    if (Status s = charge(uint64_t(canvasWidth_) * uint64_t(canvasHeight_) * 4); !s) return s;
    canvas_ = std::make_unique<Bitmap>(canvasWidth_, canvasHeight_);
  }
  applyPendingDisposal();
  if (disposal == DISPOSE_PREVIOUS) {
    if (!saved_) {
      if (!savedCharged_) {
        if (Status s = charge(canvas_->byteSize()); !s) return s;
        savedCharged_ = true;
      }
      saved_ = std::make_unique<Bitmap>(canvas_->width(), canvas_->height());
    }
    *saved_ = *canvas_;
  }
  return Status::Ok();
}

// Decodes the frame's rows that land on the canvas, one row buffer at a
// time, and passes over the compressed data of the rest without decoding it.
// False when the data ends early.
Result<bool> QLGifCompositor::drawFrame(const Area& area, bool interlaced, int disposal) {
  const int visibleRows =
      static_cast<int>(std::clamp<int64_t>(int64_t(canvasHeight_) - area.top, 0, area.height));
  const bool onCanvas = visibleRows > 0 && area.left < canvasWidth_;
  if (!onCanvas) {
    if (!skipImageData()) return false;
    if (Status s = beginComposing(disposal); !s) return s.error();
    return true;
  }
  if (size_t(area.width) > row_.size()) {
    if (Status s = charge(size_t(area.width) - row_.size()); !s) return s.error();
    row_.resize(size_t(area.width));
  }
  rowOrder(area.height, interlaced);
  size_t needed = 0;  // rows to decode: up to the last one on the canvas
  for (size_t i = 0; i < order_.size(); ++i) {
    if (order_[i] < visibleRows) needed = i + 1;
  }
  for (size_t i = 0; i < needed; ++i) {
    if (DGifGetLine(gif_, row_.data(), area.width) == GIF_ERROR) return false;
    if (i == 0) {
      if (Status s = beginComposing(disposal); !s) return s.error();
    }
    if (drawing_ && order_[i] < visibleRows) drawRow(area, order_[i]);
  }
  // giflib has read to the end of the data once every row was asked for.
  if (needed < order_.size() && !skipRemainingCode()) return false;
  return true;
}

// The frame's rows in the order the file holds them.
void QLGifCompositor::rowOrder(int height, bool interlaced) {
  order_.clear();
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order_.push_back(y);
    return;
  }
  static const int kStart[4] = {0, 4, 2, 1};
  static const int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order_.push_back(y);
  }
}

namespace {

// The part of an area that lies on a canvas, as [x0, x1) x [y0, y1).
struct Span {
  int x0, y0, x1, y1;
};

Span clip(const QLGifCompositor::Area& r, int width, int height) {
  return {std::max(r.left, 0), std::max(r.top, 0),
          static_cast<int>(std::min<int64_t>(int64_t(r.left) + r.width, width)),
          static_cast<int>(std::min<int64_t>(int64_t(r.top) + r.height, height))};
}

}  // namespace

void QLGifCompositor::applyPendingDisposal() {
  if (pendingDisposal_ == DISPOSE_BACKGROUND) {
    const Span span = clip(pendingArea_, canvasWidth_, canvasHeight_);
    for (int y = span.y0; y < span.y1; ++y) {
      uint32_t* row = canvas_->pixels() + size_t(y) * canvas_->width();
      std::fill(row + span.x0, row + std::max(span.x0, span.x1), 0u);
    }
  } else if (pendingDisposal_ == DISPOSE_PREVIOUS && saved_) {
    *canvas_ = *saved_;
  }
  pendingDisposal_ = DISPOSAL_UNSPECIFIED;
}

void QLGifCompositor::setPalette(const ColorMapObject& colors, int transparent) {
  allOpaque_ = true;
  for (int i = 0; i < 256; ++i) {
    opaque_[i] = i < colors.ColorCount && i != transparent;
    allOpaque_ = allOpaque_ && opaque_[i];
    const GifColorType c = i < colors.ColorCount ? colors.Colors[i] : GifColorType{0, 0, 0};
    palette_[i] = QLPixelConversion::opaqueARGB(c.Red, c.Green, c.Blue);
  }
}

// Row `y` of the frame, held in row_, drawn where it meets the canvas.
void QLGifCompositor::drawRow(const Area& area, int y) {
  const Span span = clip(area, canvasWidth_, canvasHeight_);
  uint32_t* out = canvas_->pixels() + size_t(area.top + y) * canvas_->width();
  if (allOpaque_) {  // a full table without a transparent index: no test per pixel
    const GifPixelType* in = row_.data() - area.left;
    for (int x = span.x0; x < span.x1; ++x) out[x] = palette_[in[x]];
    return;
  }
  for (int x = span.x0; x < span.x1; ++x) {
    const GifPixelType index = row_[size_t(x - area.left)];
    if (opaque_[index]) out[x] = palette_[index];
  }
}

}  // namespace vexa
