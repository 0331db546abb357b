// GIF decoding: QLGifDecoder (records, clipping, disposal, one composed
// canvas per frame, delays) against a bare giflib DGifSlurp of the same bytes
// (records and LZW only, no composition), in the same run. x_slurp is our
// time divided by the slurp's: the price of composing full frames.
//
// Two ways of holding an animation: every composed frame (Full), or the
// data, the first frame and a window within the default animation budget
// (Windowed: the other frames are composed when asked for). held_bytes is
// what the decoded image holds (its cost); Play asks an already decoded
// image for every frame in order, as a view playing it would, once per
// iteration.
//
// Two animations are made here with giflib's encoder: an emoji-sized sticker
// (240 x 240, 24 frames, each redrawing a 96 x 96 patch over the previous
// frame) and a full-canvas one (240 x 240, 24 frames covering everything).
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "vexa/platform/AnimationFrames.h"
#include "vexa/store/image/QLGifDecoder.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Buffer {
  std::vector<uint8_t> bytes;
  size_t position = 0;
};

int writeBytes(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<Buffer*>(gif->UserData);
  out->bytes.insert(out->bytes.end(), data, data + length);
  return length;
}

int readBytes(GifFileType* gif, GifByteType* data, int length) {
  auto* in = static_cast<Buffer*>(gif->UserData);
  const size_t n = std::min<size_t>(size_t(length), in->bytes.size() - in->position);
  std::memcpy(data, in->bytes.data() + in->position, n);
  in->position += n;
  return int(n);
}

std::vector<uint8_t> makeGif(int size, int frames, int patch) {
  Buffer out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, writeBytes, &error);
  std::vector<GifColorType> colors(256);
  for (int i = 0; i < 256; ++i) {
    colors[i] = {GifByteType(i), GifByteType(255 - i), GifByteType((i * 7) & 0xFF)};
  }
  ColorMapObject* map = GifMakeMapObject(256, colors.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, size, size, 8, 0, map);
  std::vector<GifPixelType> row(size_t(size), 0);
  for (int f = 0; f < frames; ++f) {
    GraphicsControlBlock gcb{DISPOSE_DO_NOT, false, 8, 0};
    GifByteType ext[4];
    EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
    const int w = f == 0 ? size : patch;
    const int left = f == 0 ? 0 : (f * 13) % (size - patch), top = f == 0 ? 0 : (f * 29) % (size - patch);
    EGifPutImageDesc(gif, left, top, w, w, false, nullptr);
    for (int y = 0; y < w; ++y) {
      for (int x = 0; x < w; ++x) {
        // Runs of colour with some noise: like drawn art, not like photos.
        row[size_t(x)] = GifPixelType(((x / 6 + y / 5 + f) * 17 + ((x * y) % 11 == 0 ? 3 : 0)) & 0xFF);
      }
      EGifPutLine(gif, row.data(), w);
    }
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out.bytes;
}

const std::vector<uint8_t>& sticker() {
  static const auto bytes = makeGif(240, 24, 96);
  return bytes;
}

const std::vector<uint8_t>& fullFrames() {
  static const auto bytes = makeGif(240, 24, 240 - 1);
  return bytes;
}

double& baseline(const std::string& family) {
  static std::map<std::string, double> seconds;
  return seconds[family];
}

template <typename Body>
void timed(benchmark::State& state, const std::string& family, bool isBaseline,
           const std::vector<uint8_t>& bytes, Body body) {
  double total = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    if (!body(bytes)) state.SkipWithError("decode failed");
    total += std::chrono::duration<double>(Clock::now() - start).count();
  }
  const double perIteration = total / double(state.iterations());
  if (isBaseline) baseline(family) = perIteration;
  if (baseline(family) > 0) state.counters["x_slurp"] = perIteration / baseline(family);
  state.SetBytesProcessed(int64_t(state.iterations() * bytes.size()));
}

bool slurp(const std::vector<uint8_t>& bytes) {
  Buffer in{bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&in, readBytes, &error);
  if (!gif) return false;
  const bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
  benchmark::DoNotOptimize(gif->SavedImages);
  DGifCloseFile(gif, &error);
  return ok;
}

vexa::QLImageLimits holdingAll() {
  vexa::QLImageLimits limits;
  limits.maxAnimationBytes = UINT64_MAX;
  return limits;
}

std::shared_ptr<const vexa::Image> decoded(const std::vector<uint8_t>& bytes,
                                           const vexa::QLImageLimits& limits) {
  auto image = vexa::QLGifDecoder::decode(bytes, limits);
  return image.ok() ? *image : nullptr;
}

bool full(const std::vector<uint8_t>& bytes) {
  auto image = decoded(bytes, holdingAll());
  benchmark::DoNotOptimize(image.get());
  return image && image->frameCount() > 1;
}

bool windowed(const std::vector<uint8_t>& bytes) {
  auto image = decoded(bytes, {});
  benchmark::DoNotOptimize(image.get());
  return image && image->frameCount() > 1;
}

// Every frame of an image decoded once, before the timing.
auto playing(const std::vector<uint8_t>& bytes, const vexa::QLImageLimits& limits) {
  auto image = decoded(bytes, limits);
  return [image](const std::vector<uint8_t>&) {
    if (!image) return false;
    for (size_t i = 0; i < image->frameCount(); ++i) {
      auto frame = image->frameAtIndex(i);
      if (!frame) return false;
      benchmark::DoNotOptimize(frame->pixels());
    }
    return true;
  };
}

void heldBytes(benchmark::State& state, const std::vector<uint8_t>& bytes,
               const vexa::QLImageLimits& limits) {
  auto image = decoded(bytes, limits);
  if (image) state.counters["held_bytes"] = double(image->cost());
}

const std::vector<uint8_t>& bytesOf(const std::string& name) {
  return name == "sticker" ? sticker() : fullFrames();
}

void slurpCase(benchmark::State& s, const std::string& name) {
  timed(s, name, true, bytesOf(name), slurp);
}
void fullCase(benchmark::State& s, const std::string& name) {
  timed(s, name, false, bytesOf(name), full);
  heldBytes(s, bytesOf(name), holdingAll());
}
void windowedCase(benchmark::State& s, const std::string& name) {
  timed(s, name, false, bytesOf(name), windowed);
  heldBytes(s, bytesOf(name), {});
}
void playFullCase(benchmark::State& s, const std::string& name) {
  timed(s, name, false, bytesOf(name), playing(bytesOf(name), holdingAll()));
}
void playWindowedCase(benchmark::State& s, const std::string& name) {
  timed(s, name, false, bytesOf(name), playing(bytesOf(name), {}));
}

BENCHMARK_CAPTURE(slurpCase, StickerGiflibSlurp, "sticker")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(fullCase, StickerDecodeFull, "sticker")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(windowedCase, StickerDecodeWindowed, "sticker")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(playFullCase, StickerPlayFull, "sticker")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(playWindowedCase, StickerPlayWindowed, "sticker")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(slurpCase, FullFramesGiflibSlurp, "full")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(fullCase, FullFramesDecodeFull, "full")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(windowedCase, FullFramesDecodeWindowed, "full")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(playWindowedCase, FullFramesPlayWindowed, "full")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
