#include "vexa/store/image/QLImageLimits.h"

#include <atomic>

#include "vexa/store/image/QLImageError.h"

namespace vexa {
namespace {

std::atomic<uint64_t>& animationBytes() {
  static std::atomic<uint64_t> bytes{uint64_t(2) << 20};
  return bytes;
}

}  // namespace

uint64_t QLImageLimits::defaultMaxAnimationBytes() { return animationBytes().load(); }

void QLImageLimits::setDefaultMaxAnimationBytes(uint64_t bytes) { animationBytes().store(bytes); }

Status QLImageLimits::checkDimensions(int64_t width, int64_t height,
                                      const std::string& what) const {
  if (width <= 0 || height <= 0) {
    return qlImageError(QLImageErrorCode::Malformed,
                        what + " has an empty size " + std::to_string(width) + "x" +
                            std::to_string(height));
  }
  if (width > maxSide || height > maxSide ||
      static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > maxPixels) {
    return qlImageError(QLImageErrorCode::TooLarge,
                        what + " of " + std::to_string(width) + "x" + std::to_string(height) +
                            " pixels is larger than allowed (" + std::to_string(maxSide) +
                            " a side, " + std::to_string(maxPixels) + " pixels)");
  }
  return Status::Ok();
}

}  // namespace vexa
