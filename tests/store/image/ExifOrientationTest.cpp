#include <gtest/gtest.h>

#include "ImageTestSupport.h"
#include "vexa/store/image/QLExifOrientation.h"

namespace vexa {
namespace {

// A little-endian TIFF block: IFD0 at offset 8 with the given entries
// (tag, type, count, value) and `nextIfd` as the offset of the next IFD.
Bytes tiff(std::vector<std::array<uint32_t, 4>> entries, uint32_t nextIfd = 0) {
  Bytes out{'I', 'I', 42, 0, 8, 0, 0, 0};
  auto put16 = [&](uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); };
  auto put32 = [&](uint32_t v) {
    out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
  };
  put16(static_cast<uint32_t>(entries.size()));
  for (const auto& e : entries) {
    put16(e[0]);
    put16(e[1]);
    put32(e[2]);
    put32(e[3]);
  }
  put32(nextIfd);
  return out;
}

constexpr uint32_t kOrientation = 0x0112, kShort = 3, kLong = 4, kExifIfd = 0x8769;

TEST(ExifOrientationTest, MapsEveryExifValue) {
  const ImageOrientation expected[] = {
      ImageOrientation::Up,           ImageOrientation::Up,   ImageOrientation::UpMirrored,
      ImageOrientation::Down,         ImageOrientation::DownMirrored,
      ImageOrientation::LeftMirrored, ImageOrientation::Right, ImageOrientation::RightMirrored,
      ImageOrientation::Left,         ImageOrientation::Up};
  for (int v = 0; v <= 9; ++v) {
    EXPECT_EQ(QLExifOrientation::ql_sd_exifOrientationToiOSOrientation(v), expected[v]) << v;
  }
  EXPECT_EQ(QLExifOrientation::ql_sd_exifOrientationToiOSOrientation(-1), ImageOrientation::Up);
  EXPECT_EQ(QLExifOrientation::ql_sd_exifOrientationToiOSOrientation(65535),
            ImageOrientation::Up);
}

TEST(ExifOrientationTest, ReadsBlocksWithAndWithoutHeader) {
  Bytes bare = tiff({{kOrientation, kShort, 1, 3}});
  EXPECT_EQ(QLExifOrientation::orientationTag(bare), 3);
  Bytes withHeader{'E', 'x', 'i', 'f', 0, 0};
  withHeader.insert(withHeader.end(), bare.begin(), bare.end());
  EXPECT_EQ(QLExifOrientation::orientationTag(withHeader), 3);
  EXPECT_EQ(QLExifOrientation::orientationTag(test::fixture("exif6.jpg")), 6);
  EXPECT_EQ(QLExifOrientation::orientationTag(test::fixture("baseline.jpg")), std::nullopt);
}

TEST(ExifOrientationTest, DamagedDataFallsBackToNone) {
  Bytes good = tiff({{kOrientation, kShort, 1, 6}});
  struct Case {
    const char* what;
    Bytes data;
  } cases[] = {
      {"empty", {}},
      {"not exif", {'h', 'e', 'l', 'l', 'o', 0, 0, 0}},
      {"header only", Bytes(good.begin(), good.begin() + 8)},
      {"cut inside the entry", Bytes(good.begin(), good.begin() + 14)},
      {"IFD offset past the end", Bytes{'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0xFF}},
      {"entry count past the end", Bytes{'I', 'I', 42, 0, 8, 0, 0, 0, 0xFF, 0xFF}},
      {"orientation of a wrong type", tiff({{kOrientation, kLong, 1, 6}})},
      {"orientation without a value", tiff({{kOrientation, kShort, 0, 6}})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QLExifOrientation::orientationTag(c.data), std::nullopt) << c.what;
  }
}

TEST(ExifOrientationTest, LoopingDirectoriesEnd) {
  // IFD0 names itself as the next IFD and as its EXIF sub-IFD.
  Bytes loop = tiff({{kOrientation, kShort, 1, 8}, {kExifIfd, kLong, 1, 8}}, 8);
  auto tag = QLExifOrientation::orientationTag(loop);
  EXPECT_EQ(tag, 8);
  // A chain of sub-IFDs pointing at each other.
  Bytes pingPong = tiff({{kExifIfd, kLong, 1, 8}}, 8);
  EXPECT_EQ(QLExifOrientation::orientationTag(pingPong), std::nullopt);
}

}  // namespace
}  // namespace vexa
