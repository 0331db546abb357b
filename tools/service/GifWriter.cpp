#include "service/GifWriter.h"

#include <gif_lib.h>

#include <cmath>
#include <memory>

namespace vexa::service {

namespace {

constexpr int kRedLevels = 6, kGreenLevels = 7, kBlueLevels = 6;
constexpr int kTransparent = kRedLevels * kGreenLevels * kBlueLevels;  // 252
constexpr int kPaletteSize = 256;

int level(int value, int levels) { return (value * (levels - 1) + 127) / 255; }

int quantize(uint32_t argb) {
  int a = argb >> 24;
  if (a < 128) return kTransparent;
  // Undo the premultiplication before choosing the colour.
  auto channel = [a](uint32_t premultiplied) { return std::min(255, int(premultiplied * 255 / a)); };
  int r = channel((argb >> 16) & 0xff), g = channel((argb >> 8) & 0xff), b = channel(argb & 0xff);
  return (level(r, kRedLevels) * kGreenLevels + level(g, kGreenLevels)) * kBlueLevels + level(b, kBlueLevels);
}

int writeToString(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
  return length;
}

Error gifError(int code) {
  const char* text = GifErrorString(code);
  return Error("VXServiceArtErrorDomain", code, std::string("GIF encoding failed: ") + (text ? text : "?"));
}

}  // namespace

void GifWriter::addFrame(const Canvas& canvas, int delayCentiseconds) {
  Frame frame{std::vector<unsigned char>(static_cast<size_t>(width_) * height_), delayCentiseconds};
  canvas.flush();
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      frame.indexes[static_cast<size_t>(y) * width_ + x] = static_cast<unsigned char>(quantize(canvas.pixel(x, y)));
    }
  }
  frames_.push_back(std::move(frame));
}

Result<std::string> GifWriter::finish() const {
  std::string bytes;
  int error = 0;
  GifFileType* raw = EGifOpen(&bytes, writeToString, &error);
  if (!raw) return gifError(error);
  auto close = [](GifFileType* g) { EGifCloseFile(g, nullptr); };
  std::unique_ptr<GifFileType, decltype(close)> gif(raw, close);

  std::vector<GifColorType> colours(kPaletteSize);
  for (int i = 0; i < kTransparent; ++i) {
    int r = i / (kGreenLevels * kBlueLevels), g = (i / kBlueLevels) % kGreenLevels, b = i % kBlueLevels;
    colours[i] = {GifByteType(r * 255 / (kRedLevels - 1)), GifByteType(g * 255 / (kGreenLevels - 1)),
                  GifByteType(b * 255 / (kBlueLevels - 1))};
  }
  ColorMapObject* map = GifMakeMapObject(kPaletteSize, colours.data());
  if (!map) return gifError(E_GIF_ERR_NOT_ENOUGH_MEM);
  EGifSetGifVersion(gif.get(), true);
  int rc = EGifPutScreenDesc(gif.get(), width_, height_, 8, 0, map);
  GifFreeMapObject(map);
  if (rc == GIF_ERROR) return gifError(gif->Error);

  // NETSCAPE2.0 application extension: loop forever.
  const GifByteType loop[] = {1, 0, 0};
  if (EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif.get(), 11, "NETSCAPE2.0") == GIF_ERROR ||
      EGifPutExtensionBlock(gif.get(), 3, loop) == GIF_ERROR || EGifPutExtensionTrailer(gif.get()) == GIF_ERROR)
    return gifError(gif->Error);

  for (const auto& frame : frames_) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_BACKGROUND;
    gcb.DelayTime = frame.delay;
    gcb.TransparentColor = kTransparent;
    GifByteType extension[4];
    size_t length = EGifGCBToExtension(&gcb, extension);
    if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_ERROR ||
        EGifPutImageDesc(gif.get(), 0, 0, width_, height_, false, nullptr) == GIF_ERROR)
      return gifError(gif->Error);
    for (int y = 0; y < height_; ++y) {
      auto* row = const_cast<GifByteType*>(frame.indexes.data() + static_cast<size_t>(y) * width_);
      if (EGifPutLine(gif.get(), row, width_) == GIF_ERROR) return gifError(gif->Error);
    }
  }
  int closeError = 0;
  if (EGifCloseFile(gif.release(), &closeError) == GIF_ERROR) return gifError(closeError);
  return bytes;
}

}  // namespace vexa::service
