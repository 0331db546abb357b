#include <gtest/gtest.h>

#include <cstring>

#include "ImageTestSupport.h"
#include "support/HostileFiles.h"
#include "vexa/platform/Screen.h"
#include "vexa/store/image/QLImageDecoder.h"
#include "vexa/store/image/QLImageError.h"
#include "vexa/store/image/QLJpegDecoder.h"
#include "vexa/store/image/QLPngDecoder.h"

namespace vexa {
namespace {

using test::argb;
using test::fixture;

std::shared_ptr<const Image> decodeFixture(const std::string& name) {
  auto image = QLImageDecoder::decode(fixture(name));
  EXPECT_TRUE(image.ok()) << name << ": " << (image.ok() ? "" : image.error().toString());
  return image.ok() ? *image : nullptr;
}

int64_t errorCode(const Bytes& data, const QLImageLimits& limits = {}) {
  auto image = QLImageDecoder::decode(data, limits);
  return image.ok() ? 0 : image.error().code();
}

bool near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    int x = int((a >> shift) & 0xFF), y = int((b >> shift) & 0xFF);
    if (std::abs(x - y) > tolerance) return false;
  }
  return true;
}

TEST(StillDecodingTest, ContentTypeFromTheFirstByte) {
  struct Case {
    Bytes data;
    std::optional<std::string> type;
  } cases[] = {
      {{0xFF, 0xD8}, "image/jpeg"},
      {{0x89, 'P'}, "image/png"},
      {{'G', 'I', 'F'}, "image/gif"},
      {{0x49}, "image/tiff"},
      {{0x4D}, "image/tiff"},
      {{'R', 'I', 'F', 'F', 1, 2, 3, 4, 'W', 'E', 'B', 'P'}, "image/webp"},
      {{'R', 'I', 'F', 'F', 1, 2, 3, 4, 'W', 'A', 'V', 'E'}, std::nullopt},
      {{'R', 'I', 'F', 'F', 1, 2, 3, 4, 'W', 'E', 'B'}, std::nullopt},  // 11 bytes
      {{0x00}, std::nullopt},
      {{}, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QLImageDecoder::ql_sd_contentTypeForImageData(c.data), c.type)
        << test::asText(c.data);
  }
}

TEST(StillDecodingTest, PngVariantsExpandToPremultipliedArgb) {
  auto interlaced = decodeFixture("interlaced.png");
  ASSERT_TRUE(interlaced);
  EXPECT_EQ(interlaced->pixelWidth(), 9);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 9; ++x) {
      const uint8_t a = (x + y) % 3 ? 255 : 128;
      const auto pre = [a](int c) { return uint8_t((c * a + 127) / 255); };
      ASSERT_EQ(interlaced->bitmap().pixel(x, y), argb(pre(x * 20), pre(y * 20), pre(100), a))
          << x << "," << y;
    }
  }
  EXPECT_TRUE(interlaced->hasAlphaChannel());

  auto rgb = decodeFixture("rgb.png");
  ASSERT_TRUE(rgb);
  EXPECT_EQ(rgb->bitmap().pixel(2, 1), argb(10, 200, 30));
  EXPECT_FALSE(rgb->hasAlphaChannel());

  auto palette = decodeFixture("palette_trns.png");
  ASSERT_TRUE(palette);
  EXPECT_TRUE(palette->hasAlphaChannel());
  EXPECT_EQ(palette->bitmap().pixel(0, 0), 0u);
  EXPECT_EQ(palette->bitmap().pixel(1, 0), argb(0, 255, 0));

  auto grey16 = decodeFixture("gray16.png");
  ASSERT_TRUE(grey16);
  EXPECT_EQ(grey16->bitmap().pixel(0, 0), argb(0, 0, 0));
  EXPECT_EQ(grey16->bitmap().pixel(1, 0), argb(255, 255, 255));

  auto greyAlpha = decodeFixture("gray_alpha.png");
  ASSERT_TRUE(greyAlpha);
  EXPECT_EQ(greyAlpha->bitmap().pixel(1, 0), argb(50, 50, 50, 64));
}

TEST(StillDecodingTest, JpegVariantsDecodeOpaque) {
  for (const char* name : {"baseline.jpg", "progressive.jpg"}) {
    auto image = decodeFixture(name);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 16);
    EXPECT_FALSE(image->hasAlphaChannel());
    EXPECT_TRUE(near(image->bitmap().pixel(2, 8), argb(255, 0, 0), 24)) << name;
    EXPECT_TRUE(near(image->bitmap().pixel(13, 8), argb(0, 0, 255), 24)) << name;
    EXPECT_EQ(image->orientation(), ImageOrientation::Up);
  }
  auto grey = decodeFixture("gray.jpg");
  ASSERT_TRUE(grey);
  EXPECT_TRUE(near(grey->bitmap().pixel(4, 4), argb(77, 77, 77), 3));
  auto cmyk = decodeFixture("cmyk.jpg");
  ASSERT_TRUE(cmyk);
  EXPECT_TRUE(near(cmyk->bitmap().pixel(4, 4), argb(255, 0, 0), 8))
      << std::hex << cmyk->bitmap().pixel(4, 4);
}

TEST(StillDecodingTest, ExifOrientationSixTurnsTheImageRight) {
  Screen saved = Screen::main();
  Screen::setMain(Screen::phone375x667());
  auto jpeg = decodeFixture("exif6.jpg");
  auto png = decodeFixture("exif6.png");
  auto webp = decodeFixture("exif6.webp");
  Screen::setMain(saved);
  ASSERT_TRUE(jpeg && png && webp);
  EXPECT_EQ(jpeg->orientation(), ImageOrientation::Right);
  EXPECT_EQ(jpeg->scale(), 2);
  // 24 x 16 stored pixels show as 8 x 12 points.
  EXPECT_EQ(jpeg->size(), (Size{8, 12}));
  EXPECT_EQ(png->orientation(), ImageOrientation::Right);
  EXPECT_EQ(webp->orientation(), ImageOrientation::Right);
  EXPECT_EQ(QLImageDecoder::ql_sd_imageOrientationFromImageData(fixture("exif6.jpg")),
            ImageOrientation::Right);
  EXPECT_EQ(QLImageDecoder::ql_sd_imageOrientationFromImageData(fixture("baseline.jpg")),
            ImageOrientation::Up);
  EXPECT_EQ(QLImageDecoder::ql_sd_imageOrientationFromImageData(fixture("single.gif")),
            ImageOrientation::Up);
}

TEST(StillDecodingTest, WebpKeepsItsAlpha) {
  auto webp = decodeFixture("alpha.webp");
  ASSERT_TRUE(webp);
  EXPECT_TRUE(webp->hasAlphaChannel());
  EXPECT_EQ(webp->bitmap().pixel(1, 1), argb(0, 64, 128, 128));
}

TEST(StillDecodingTest, UndecodableDataGivesNoImage) {
  Bytes jpeg = fixture("baseline.jpg");
  Bytes png = fixture("rgb.png");
  struct Case {
    const char* what;
    Bytes data;
    QLImageErrorCode code;
  } cases[] = {
      {"empty", {}, QLImageErrorCode::EmptyData},
      {"text", {'h', 'e', 'l', 'l', 'o'}, QLImageErrorCode::UnknownFormat},
      {"tiff", {'I', 'I', 42, 0, 8, 0, 0, 0}, QLImageErrorCode::UnknownFormat},
      {"truncated jpeg", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2),
       QLImageErrorCode::Malformed},
      {"jpeg header only", Bytes(jpeg.begin(), jpeg.begin() + 20), QLImageErrorCode::Malformed},
      {"png cut inside its rows", Bytes(png.begin(), png.begin() + 45), QLImageErrorCode::Malformed},
      {"png signature only", Bytes(png.begin(), png.begin() + 8), QLImageErrorCode::Malformed},
      {"riff without vp8", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'E', 'B', 'P'},
       QLImageErrorCode::Malformed},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(errorCode(c.data), int64_t(c.code)) << c.what;
    EXPECT_EQ(QLImageDecoder::ql_sd_imageWithData(c.data), nullptr) << c.what;
  }
  Bytes badCrc = png;
  badCrc[29] ^= 0xFF;  // IHDR checksum
  EXPECT_EQ(errorCode(badCrc), int64_t(QLImageErrorCode::Malformed));
}

// --- Hostile files -----------------------------------------------------------

Bytes pngHeaderOnly(uint32_t width, uint32_t height) {
  Bytes ihdr;
  for (uint32_t v : {width, height}) {
    for (int s = 24; s >= 0; s -= 8) ihdr.push_back(uint8_t(v >> s));
  }
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
  Bytes out{0x89, 'P', 'N', 'G', 13, 10, 26, 10};
  Bytes chunk = test::pngChunk("IHDR", ihdr);
  out.insert(out.end(), chunk.begin(), chunk.end());
  chunk = test::pngChunk("IEND", {});
  out.insert(out.end(), chunk.begin(), chunk.end());
  return out;
}

TEST(StillDecodingTest, OversizedPngIsRefusedFromItsHeader) {
  EXPECT_EQ(errorCode(pngHeaderOnly(1000001, 1)), int64_t(QLImageErrorCode::TooLarge));
  EXPECT_EQ(errorCode(pngHeaderOnly(16385, 16)), int64_t(QLImageErrorCode::TooLarge));
  EXPECT_EQ(errorCode(pngHeaderOnly(16384, 16384)), int64_t(QLImageErrorCode::TooLarge));
  // Within the limits the header passes; the missing image data fails next.
  EXPECT_EQ(errorCode(pngHeaderOnly(16384, 16)), int64_t(QLImageErrorCode::Malformed));
}

TEST(StillDecodingTest, CompressedMetadataBombsDoNotStopDecoding) {
  const Bytes png = fixture("rgb.png");
  const Bytes bomb = test::deflatedZeros(size_t(16) << 20);  // 16 MiB inflated
  Bytes text{'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 0};
  text.insert(text.end(), bomb.begin(), bomb.end());
  Bytes icc{'i', 'c', 'c', 0, 0};
  icc.insert(icc.end(), bomb.begin(), bomb.end());
  Bytes itxt{'X', 0, 1, 0, 0, 0};
  itxt.insert(itxt.end(), bomb.begin(), bomb.end());
  for (const auto& [type, data] : {std::pair{"zTXt", text}, {"iCCP", icc}, {"iTXt", itxt}}) {
    auto image = QLImageDecoder::decode(test::insertAfterHeader(png, test::pngChunk(type, data)));
    ASSERT_TRUE(image.ok()) << type << ": " << image.error().toString();
    EXPECT_EQ((*image)->bitmap().pixel(0, 0), argb(10, 200, 30)) << type;
  }
}

// The progressive fixture with its last scan repeated `extra` times.
Bytes withRepeatedLastScan(int extra) {
  Bytes jpeg = fixture("progressive.jpg");
  size_t lastScan = 0;
  for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) lastScan = i;
  }
  EXPECT_GT(lastScan, 0u);
  const size_t end = jpeg.size() - 2;  // before the end-of-image marker
  Bytes scan(jpeg.begin() + lastScan, jpeg.begin() + end);
  Bytes out(jpeg.begin(), jpeg.begin() + end);
  for (int i = 0; i < extra; ++i) out.insert(out.end(), scan.begin(), scan.end());
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

TEST(StillDecodingTest, ProgressiveJpegWithHundredsOfScansIsRefused) {
  auto many = QLJpegDecoder::decode(withRepeatedLastScan(300));
  ASSERT_FALSE(many.ok());
  EXPECT_EQ(many.error().code(), int64_t(QLImageErrorCode::TooLarge));
  EXPECT_NE(many.error().description().find("scans"), std::string::npos);
  // The same repetition below the limit still decodes.
  EXPECT_TRUE(QLJpegDecoder::decode(withRepeatedLastScan(20)).ok());
}

TEST(StillDecodingTest, OversizedJpegIsRefusedFromItsHeader) {
  Bytes jpeg = fixture("baseline.jpg");
  // The SOF0 segment holds height and width after its length and precision.
  for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = 0x4E;  // height 20000
      jpeg[i + 6] = 0x20;
      jpeg[i + 7] = 0x4E;  // width 20000
      jpeg[i + 8] = 0x20;
      break;
    }
  }
  EXPECT_EQ(errorCode(jpeg), int64_t(QLImageErrorCode::TooLarge));
}

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(StillDecodingTest, PngReadingStopsAfterTheLastRow) {
  // A gigabyte of zeros after the one row, in a chunk with a wrong CRC: a
  // decoder that reads on fails there, after inflating for seconds.
  const Bytes png = bytesOf(test::hostile::pngOnePixelWithTrailingData(uint64_t(1) << 30, true));
  ASSERT_LT(png.size(), size_t(2) << 20);
  auto image = QLImageDecoder::decode(png);
  ASSERT_TRUE(image.ok()) << image.error().toString();
  EXPECT_EQ((*image)->bitmap().pixel(0, 0), argb(0x80, 0x80, 0x80));
  // Rows that never arrive are still an error.
  const Bytes fixtureBytes = fixture("interlaced.png");
  for (size_t cut : {size_t(40), size_t(80)}) {
    EXPECT_EQ(errorCode(Bytes(fixtureBytes.begin(), fixtureBytes.begin() + cut)),
              int64_t(QLImageErrorCode::Malformed));
  }
}

TEST(StillDecodingTest, JpegEndingBeforeItsLastScanLineIsRefused) {
  // 8192 x 8192 declared, one block of data, then the end marker.
  const Bytes claims = bytesOf(test::hostile::jpegClaimingHugeEndingAtMarker());
  EXPECT_EQ(errorCode(claims), int64_t(QLImageErrorCode::Malformed));
  // The same file at its true size decodes.
  EXPECT_EQ(errorCode(bytesOf(test::hostile::jpegClaimingHugeEndingAtMarker(8, 8))), 0);

  // A real image cut inside its scan, whatever follows the cut.
  const Bytes jpeg = fixture("baseline.jpg");
  size_t scan = 0;
  for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) scan = i;
  }
  ASSERT_GT(scan, 0u);
  const Bytes head(jpeg.begin(), jpeg.begin() + (scan + jpeg.size()) / 2);
  const std::vector<std::pair<const char*, Bytes>> endings = {
      {"nothing", {}}, {"end of image", {0xFF, 0xD9}}, {"a table marker", {0xFF, 0xC4, 0, 2}}};
  for (const auto& [what, ending] : endings) {
    Bytes cut = head;
    cut.insert(cut.end(), ending.begin(), ending.end());
    EXPECT_EQ(errorCode(cut), int64_t(QLImageErrorCode::Malformed)) << what;
  }
}

}  // namespace
}  // namespace vexa
