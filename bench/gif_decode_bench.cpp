// GIF decoding: QLGifDecoder (records, clipping, disposal, one composed
// canvas per frame, delays) against a bare giflib DGifSlurp of the same bytes
// (records and LZW only, no composition), in the same run. x_slurp is our
// time divided by the slurp's: the price of composing full frames.
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

bool ours(const std::vector<uint8_t>& bytes) {
  auto image = vexa::QLGifDecoder::decode(bytes);
  if (!image.ok()) return false;
  benchmark::DoNotOptimize((*image)->firstFrame().get());
  return (*image)->frameCount() > 1;
}

void BM_StickerGiflibSlurp(benchmark::State& s) { timed(s, "sticker", true, sticker(), slurp); }
void BM_StickerQLGifDecoder(benchmark::State& s) { timed(s, "sticker", false, sticker(), ours); }
void BM_FullFramesGiflibSlurp(benchmark::State& s) { timed(s, "full", true, fullFrames(), slurp); }
void BM_FullFramesQLGifDecoder(benchmark::State& s) { timed(s, "full", false, fullFrames(), ours); }

BENCHMARK(BM_StickerGiflibSlurp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StickerQLGifDecoder)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullFramesGiflibSlurp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullFramesQLGifDecoder)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
