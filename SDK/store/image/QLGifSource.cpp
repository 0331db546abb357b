#include "vexa/store/image/QLGifSource.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "vexa/store/image/QLImageError.h"
#include "vexa/store/image/QLPixelConversion.h"

namespace vexa {
namespace {

struct MemoryInput {
  std::span<const uint8_t> data;
  size_t position = 0;
};

int readInput(GifFileType* gif, GifByteType* out, int length) {
  auto* in = static_cast<MemoryInput*>(gif->UserData);
  if (length <= 0) return 0;
  size_t n = std::min(static_cast<size_t>(length), in->data.size() - in->position);
  std::memcpy(out, in->data.data() + in->position, n);
  in->position += n;
  return static_cast<int>(n);
}

class GifHandle {
 public:
  explicit GifHandle(GifFileType* gif) : gif_(gif) {}
  ~GifHandle() {
    if (gif_) {
      int error = 0;
      DGifCloseFile(gif_, &error);
    }
  }
  GifHandle(const GifHandle&) = delete;
  GifHandle& operator=(const GifHandle&) = delete;
  GifFileType* get() const { return gif_; }

 private:
  GifFileType* gif_;
};

struct Rect32 {
  int left = 0, top = 0, width = 0, height = 0;
};

// Walks the records of one file and composes its frames.
class GifReader {
 public:
  GifReader(GifFileType* gif, const QLImageLimits& limits) : gif_(gif), limits_(limits) {}

  // Fails only for a passed limit; a damaged file ends the walk and keeps
  // what was read (marked truncated).
  Status read() {
    Status walked = walk();
    if (!walked) return walked;
    return snapshot(true);
  }

  std::vector<QLGifSource::Frame>& frames() { return frames_; }
  bool truncated() const { return truncated_; }

 private:
  Status walk() {
    for (;;) {
      GifRecordType type = UNDEFINED_RECORD_TYPE;
      if (DGifGetRecordType(gif_, &type) == GIF_ERROR) return truncate();
      switch (type) {
        case IMAGE_DESC_RECORD_TYPE:
          if (Status s = readFrame(); !s) return s;
          if (truncated_) return Status::Ok();
          break;
        case EXTENSION_RECORD_TYPE:
          if (!readExtension()) return truncate();
          break;
        case TERMINATE_RECORD_TYPE:
          return Status::Ok();
        default:
          return truncate();
      }
    }
  }

  Status truncate() {
    truncated_ = true;
    return Status::Ok();
  }

  bool readExtension() {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block) {
      GraphicsControlBlock gcb{};
      if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) pendingControl_ = gcb;
    }
    while (block) {
      if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR) return false;
    }
    return true;
  }

  bool skipImageData() {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif_, &codeSize, &block) == GIF_ERROR) return false;
    while (block) {
      if (DGifGetCodeNext(gif_, &block) == GIF_ERROR) return false;
    }
    return true;
  }

  Status readFrame() {
    if (DGifGetImageDesc(gif_) == GIF_ERROR) return truncate();
    std::optional<GraphicsControlBlock> control = pendingControl_;
    pendingControl_.reset();
    if (frames_.size() >= limits_.maxFrames) {
      return qlImageError(QLImageErrorCode::TooLarge,
                          "GIF has more than " + std::to_string(limits_.maxFrames) + " frames");
    }
    QLGifSource::Frame frame;
    if (control) {
      double delay = control->DelayTime / 100.0;
      frame.properties.unclampedDelayTime = delay;
      frame.properties.delayTime = delay;
    }
    const GifImageDesc& desc = gif_->Image;
    const ColorMapObject* colors = desc.ColorMap ? desc.ColorMap : gif_->SColorMap;
    const Rect32 rect{desc.Left, desc.Top, desc.Width, desc.Height};
    if (!colors || colors->ColorCount <= 0 || rect.width <= 0 || rect.height <= 0) {
      frames_.push_back(std::move(frame));
      if (!skipImageData()) truncated_ = true;
      return Status::Ok();
    }
    if (Status s = sizeCanvas(rect); !s) return s;
    const int disposal = control ? control->DisposalMode : DISPOSAL_UNSPECIFIED;
    const int transparent = control ? control->TransparentColor : NO_TRANSPARENT_COLOR;
    Result<bool> drawn = drawFrame(rect, desc.Interlace, *colors, transparent, disposal);
    if (!drawn.ok()) return drawn.error();
    frames_.push_back(std::move(frame));
    if (!*drawn) {
      truncated_ = true;
      return Status::Ok();
    }
    pendingDisposal_ = disposal;
    pendingRect_ = rect;
    unsnapped_ = frames_.size() - 1;
    return Status::Ok();
  }

  // The composed canvas of the last frame goes to that frame: by a copy
  // while more frames may follow, by a move once the file has ended.
  Status snapshot(bool last) {
    if (!unsnapped_) return Status::Ok();
    auto& image = frames_[*unsnapped_].image;
    unsnapped_.reset();
    if (last) {
      image = std::shared_ptr<const Bitmap>(std::move(canvas_));
      return Status::Ok();
    }
    if (Status s = charge(canvas_->byteSize()); !s) return s;
    image = std::make_shared<const Bitmap>(*canvas_);
    return Status::Ok();
  }

  // Every buffer of decoded pixels, working ones included, counts against
  // one budget, checked before the memory is taken.
  Status charge(uint64_t bytes) {
    if (bytes > limits_.maxDecodedBytes || used_ > limits_.maxDecodedBytes - bytes) {
      return qlImageError(QLImageErrorCode::TooLarge,
                          "GIF needs more than " + std::to_string(limits_.maxDecodedBytes) +
                              " bytes of decoded pixels");
    }
    used_ += bytes;
    return Status::Ok();
  }

  Status sizeCanvas(const Rect32& first) {
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

  // Before the frame changes the canvas: the previous frame keeps its
  // picture, the previous disposal is applied and, for "restore to
  // previous", the canvas is saved. The canvas itself is made only now, so
  // a file that declares a huge screen but cannot fill one row costs nothing.
  Status beginComposing(int disposal) {
    if (Status s = snapshot(false); !s) return s;
    if (!canvas_) {
      if (Status s = charge(uint64_t(canvasWidth_) * uint64_t(canvasHeight_) * 4); !s) return s;
      canvas_ = std::make_unique<Bitmap>(canvasWidth_, canvasHeight_);
    }
    applyPendingDisposal();
    if (disposal == DISPOSE_PREVIOUS) {
      if (!saved_) {
        if (Status s = charge(canvas_->byteSize()); !s) return s;
        saved_ = std::make_unique<Bitmap>(canvas_->width(), canvas_->height());
      }
      *saved_ = *canvas_;
    }
    return Status::Ok();
  }

  // Decodes the frame's rows that land on the canvas, one row buffer at a
  // time, and passes over the compressed data of the rest without decoding
  // it. False when the data ends early.
  Result<bool> drawFrame(const Rect32& rect, bool interlaced, const ColorMapObject& colors,
                         int transparent, int disposal) {
    const int visibleRows =
        static_cast<int>(std::clamp<int64_t>(int64_t(canvasHeight_) - rect.top, 0, rect.height));
    const bool onCanvas = visibleRows > 0 && rect.left < canvasWidth_;
    if (!onCanvas) {
      if (!skipImageData()) return false;
      if (Status s = beginComposing(disposal); !s) return s.error();
      return true;
    }
    if (size_t(rect.width) > row_.size()) {
      if (Status s = charge(size_t(rect.width) - row_.size()); !s) return s.error();
      row_.resize(size_t(rect.width));
    }
    rowOrder(rect.height, interlaced);
    size_t needed = 0;  // rows to decode: up to the last one on the canvas
    for (size_t i = 0; i < order_.size(); ++i) {
      if (order_[i] < visibleRows) needed = i + 1;
    }
    setPalette(colors, transparent);
    for (size_t i = 0; i < needed; ++i) {
      if (DGifGetLine(gif_, row_.data(), rect.width) == GIF_ERROR) return false;
      if (i == 0) {
        if (Status s = beginComposing(disposal); !s) return s.error();
      }
      if (order_[i] < visibleRows) drawRow(rect, order_[i]);
    }
    // giflib has read to the end of the data once every row was asked for.
    if (needed < order_.size() && !skipRemainingCode()) return false;
    return true;
  }

  bool skipRemainingCode() {
    GifByteType* block = nullptr;
    do {
      if (DGifGetCodeNext(gif_, &block) == GIF_ERROR) return false;
    } while (block);
    return true;
  }

  // The frame's rows in the order the file holds them.
  void rowOrder(int height, bool interlaced) {
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

  void applyPendingDisposal() {
    if (pendingDisposal_ == DISPOSE_BACKGROUND) {
      const Span span = clip(pendingRect_);
      for (int y = span.y0; y < span.y1; ++y) {
        for (int x = span.x0; x < span.x1; ++x) canvas_->setPixel(x, y, 0);
      }
    } else if (pendingDisposal_ == DISPOSE_PREVIOUS && saved_) {
      *canvas_ = *saved_;
    }
    pendingDisposal_ = DISPOSAL_UNSPECIFIED;
  }

  // The part of the rect that lies on the canvas, as [x0, x1) x [y0, y1).
  struct Span {
    int x0, y0, x1, y1;
  };
  Span clip(const Rect32& r) const {
    return {std::max(r.left, 0), std::max(r.top, 0),
            static_cast<int>(std::min<int64_t>(int64_t(r.left) + r.width, canvasWidth_)),
            static_cast<int>(std::min<int64_t>(int64_t(r.top) + r.height, canvasHeight_))};
  }

  void setPalette(const ColorMapObject& colors, int transparent) {
    for (int i = 0; i < 256; ++i) {
      opaque_[i] = i < colors.ColorCount && i != transparent;
      const GifColorType c = i < colors.ColorCount ? colors.Colors[i] : GifColorType{0, 0, 0};
      palette_[i] = QLPixelConversion::opaqueARGB(c.Red, c.Green, c.Blue);
    }
  }

  // Row `y` of the frame, held in row_, drawn where it meets the canvas.
  void drawRow(const Rect32& rect, int y) {
    const Span span = clip(rect);
    uint32_t* out = canvas_->pixels() + size_t(rect.top + y) * canvas_->width();
    for (int x = span.x0; x < span.x1; ++x) {
      const GifPixelType index = row_[size_t(x - rect.left)];
      if (opaque_[index]) out[x] = palette_[index];
    }
  }

  GifFileType* gif_;
  const QLImageLimits& limits_;
  std::vector<QLGifSource::Frame> frames_;
  std::optional<GraphicsControlBlock> pendingControl_;
  int canvasWidth_ = 0, canvasHeight_ = 0;
  std::unique_ptr<Bitmap> canvas_;
  std::unique_ptr<Bitmap> saved_;
  std::vector<GifPixelType> row_;
  std::vector<int> order_;
  uint32_t palette_[256] = {};
  bool opaque_[256] = {};
  int pendingDisposal_ = DISPOSAL_UNSPECIFIED;
  Rect32 pendingRect_;
  std::optional<size_t> unsnapped_;  // the last composed frame, not yet given its picture
  uint64_t used_ = 0;
  bool truncated_ = false;
};

}  // namespace

Result<std::shared_ptr<const QLGifSource>> QLGifSource::create(std::span<const uint8_t> data,
                                                               const QLImageLimits& limits) {
  if (data.size() < 6 || std::memcmp(data.data(), "GIF", 3) != 0) {
    return qlImageError(QLImageErrorCode::UnknownFormat, "GIF: no GIF signature");
  }
  try {
    MemoryInput input{data, 0};
    int error = 0;
    GifHandle gif(DGifOpen(&input, readInput, &error));
    if (!gif.get()) {
      const char* why = GifErrorString(error);
      return qlImageError(QLImageErrorCode::Malformed,
                          std::string("GIF: ") + (why ? why : "unreadable header"));
    }
    GifReader reader(gif.get(), limits);
    if (Status s = reader.read(); !s) return s.error();
    return std::shared_ptr<const QLGifSource>(
        new QLGifSource(std::move(reader.frames()), reader.truncated()));
  } catch (const std::bad_alloc&) {
    return qlImageError(QLImageErrorCode::TooLarge, "GIF: out of memory");
  }
}

std::shared_ptr<const Bitmap> QLGifSource::imageAtIndex(size_t index) const {
  return index < frames_.size() ? frames_[index].image : nullptr;
}

QLGifSource::FrameProperties QLGifSource::propertiesAtIndex(size_t index) const {
  return index < frames_.size() ? frames_[index].properties : FrameProperties{};
}

}  // namespace vexa
