#include "vexa/store/image/QLExifOrientation.h"

#include <libexif/exif-data.h>

#include <cstring>
#include <vector>

namespace vexa {
namespace {

class ExifDataHandle {
 public:
  ExifDataHandle() : data_(exif_data_new()) {}
  ~ExifDataHandle() {
    if (data_) exif_data_unref(data_);
  }
  ExifDataHandle(const ExifDataHandle&) = delete;
  ExifDataHandle& operator=(const ExifDataHandle&) = delete;
  ExifData* get() const { return data_; }

 private:
  ExifData* data_;
};

constexpr uint8_t kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};

bool startsWith(std::span<const uint8_t> data, const uint8_t* prefix, size_t n) {
  return data.size() >= n && std::memcmp(data.data(), prefix, n) == 0;
}

bool isTiffHeader(std::span<const uint8_t> data) {
  static const uint8_t kLittle[4] = {'I', 'I', 42, 0};
  static const uint8_t kBig[4] = {'M', 'M', 0, 42};
  return startsWith(data, kLittle, 4) || startsWith(data, kBig, 4);
}

}  // namespace

std::optional<int> QLExifOrientation::orientationTag(std::span<const uint8_t> data,
                                                     const QLImageLimits& limits) {
  const bool jpeg = data.size() >= 2 && data[0] == 0xFF && data[1] == 0xD8;
  const bool block = startsWith(data, kExifHeader, sizeof kExifHeader);
  const bool tiff = isTiffHeader(data);
  if (!jpeg && !block && !tiff) return std::nullopt;
  // A JPEG's EXIF lives in one marker segment (at most 64 KiB), which libexif
  // finds itself; a bare block is bounded by the metadata limit.
  if (!jpeg && data.size() > limits.maxMetadataBytes) return std::nullopt;
  if (data.size() > 0xFFFFFFF0u) return std::nullopt;

  std::vector<uint8_t> withHeader;
  if (tiff) {
    withHeader.reserve(sizeof kExifHeader + data.size());
    withHeader.insert(withHeader.end(), kExifHeader, kExifHeader + sizeof kExifHeader);
    withHeader.insert(withHeader.end(), data.begin(), data.end());
    data = withHeader;
  }

  ExifDataHandle exif;
  if (!exif.get()) return std::nullopt;
  // Read only: do not let libexif add or "repair" entries.
  exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
  exif_data_load_data(exif.get(), data.data(), static_cast<unsigned int>(data.size()));
  ExifContent* ifd0 = exif.get()->ifd[EXIF_IFD_0];
  if (!ifd0) return std::nullopt;
  ExifEntry* entry = exif_content_get_entry(ifd0, EXIF_TAG_ORIENTATION);
  if (!entry || !entry->data || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 ||
      entry->size < 2) {
    return std::nullopt;
  }
  return static_cast<int>(exif_get_short(entry->data, exif_data_get_byte_order(exif.get())));
}

ImageOrientation QLExifOrientation::ql_sd_exifOrientationToiOSOrientation(int exifOrientation) {
  switch (exifOrientation) {
    case 2: return ImageOrientation::UpMirrored;
    case 3: return ImageOrientation::Down;
    case 4: return ImageOrientation::DownMirrored;
    case 5: return ImageOrientation::LeftMirrored;
    case 6: return ImageOrientation::Right;
    case 7: return ImageOrientation::RightMirrored;
    case 8: return ImageOrientation::Left;
    default: return ImageOrientation::Up;
  }
}

}  // namespace vexa
