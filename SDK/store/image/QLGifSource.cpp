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

  std::vector<QLGifSource::Frame>& frames() { return frames_; }
  bool truncated() const { return truncated_; }

 private:
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
    const std::string name = "GIF frame " + std::to_string(frames_.size());
    if (Status s = limits_.checkDimensions(rect.width, rect.height, name); !s) return s;
    if (Status s = prepareCanvas(rect); !s) return s;
    const uint64_t composed = uint64_t(canvas_->byteSize()) * (createdFrames_ + 1);
    if (composed > limits_.maxAnimationBytes) {
      return qlImageError(QLImageErrorCode::TooLarge,
                          "GIF frames need more than " +
                              std::to_string(limits_.maxAnimationBytes) + " bytes");
    }
    raster_.resize(size_t(rect.width) * size_t(rect.height));
    if (!readRaster(rect, desc.Interlace)) {
      frames_.push_back(std::move(frame));
      truncated_ = true;
      return Status::Ok();
    }
    const int disposal = control ? control->DisposalMode : DISPOSAL_UNSPECIFIED;
    const int transparent = control ? control->TransparentColor : NO_TRANSPARENT_COLOR;
    applyPendingDisposal();
    if (disposal == DISPOSE_PREVIOUS) saved_ = std::make_unique<Bitmap>(*canvas_);
    draw(rect, *colors, transparent);
    frame.image = std::make_shared<const Bitmap>(*canvas_);
    ++createdFrames_;
    pendingDisposal_ = disposal;
    pendingRect_ = rect;
    frames_.push_back(std::move(frame));
    return Status::Ok();
  }

  Status prepareCanvas(const Rect32& first) {
    if (canvas_) return Status::Ok();
    int64_t width = gif_->SWidth, height = gif_->SHeight;
    if (width <= 0 || height <= 0) {
      width = int64_t(first.left) + first.width;
      height = int64_t(first.top) + first.height;
    }
    if (Status s = limits_.checkDimensions(width, height, "GIF screen"); !s) return s;
    canvas_ = std::make_unique<Bitmap>(static_cast<int>(width), static_cast<int>(height));
    return Status::Ok();
  }

  bool readRaster(const Rect32& rect, bool interlaced) {
    if (!interlaced) {
      for (int y = 0; y < rect.height; ++y) {
        if (DGifGetLine(gif_, rowOf(rect, y), rect.width) == GIF_ERROR) return false;
      }
      return true;
    }
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int y = kStart[pass]; y < rect.height; y += kStep[pass]) {
        if (DGifGetLine(gif_, rowOf(rect, y), rect.width) == GIF_ERROR) return false;
      }
    }
    return true;
  }

  GifPixelType* rowOf(const Rect32& rect, int y) {
    return raster_.data() + size_t(y) * size_t(rect.width);
  }

  // The part of the rect that lies on the canvas, as [x0, x1) x [y0, y1).
  void clip(const Rect32& r, int& x0, int& y0, int& x1, int& y1) const {
    x0 = std::max(r.left, 0);
    y0 = std::max(r.top, 0);
    x1 = static_cast<int>(std::min<int64_t>(int64_t(r.left) + r.width, canvas_->width()));
    y1 = static_cast<int>(std::min<int64_t>(int64_t(r.top) + r.height, canvas_->height()));
  }

  void applyPendingDisposal() {
    if (pendingDisposal_ == DISPOSE_BACKGROUND) {
      int x0, y0, x1, y1;
      clip(pendingRect_, x0, y0, x1, y1);
      for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) canvas_->setPixel(x, y, 0);
      }
    } else if (pendingDisposal_ == DISPOSE_PREVIOUS && saved_) {
      *canvas_ = *saved_;
    }
    pendingDisposal_ = DISPOSAL_UNSPECIFIED;
  }

  void draw(const Rect32& rect, const ColorMapObject& colors, int transparent) {
    int x0, y0, x1, y1;
    clip(rect, x0, y0, x1, y1);
    uint32_t palette[256];
    bool opaque[256];
    for (int i = 0; i < 256; ++i) {
      opaque[i] = i < colors.ColorCount && i != transparent;
      const GifColorType c = i < colors.ColorCount ? colors.Colors[i] : GifColorType{0, 0, 0};
      palette[i] = QLPixelConversion::opaqueARGB(c.Red, c.Green, c.Blue);
    }
    for (int y = y0; y < y1; ++y) {
      const GifPixelType* row = rowOf(rect, y - rect.top);
      uint32_t* out = canvas_->pixels() + size_t(y) * canvas_->width();
      for (int x = x0; x < x1; ++x) {
        const GifPixelType index = row[x - rect.left];
        if (opaque[index]) out[x] = palette[index];
      }
    }
  }

  GifFileType* gif_;
  const QLImageLimits& limits_;
  std::vector<QLGifSource::Frame> frames_;
  std::optional<GraphicsControlBlock> pendingControl_;
  std::unique_ptr<Bitmap> canvas_;
  std::unique_ptr<Bitmap> saved_;
  std::vector<GifPixelType> raster_;
  int pendingDisposal_ = DISPOSAL_UNSPECIFIED;
  Rect32 pendingRect_;
  size_t createdFrames_ = 0;
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
