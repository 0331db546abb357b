#include "vexa/store/image/QLContentModeAdjuster.h"

#include <algorithm>

namespace vexa {

std::optional<QLImageContentMode> QLContentModeAdjuster::adjustContentModeAutomatically(
    const Image* image, Size viewFrameSize) {
  if (!image) return std::nullopt;
  return contentModeForSizes(image->size(), viewFrameSize);
}

QLImageContentMode QLContentModeAdjuster::contentModeForSizes(Size imageSize, Size viewFrameSize) {
  const double imageShort = std::min(imageSize.width, imageSize.height);
  const double viewShort = std::min(viewFrameSize.width, viewFrameSize.height);
  return imageShort > viewShort ? QLImageContentMode::ScaleAspectFit : QLImageContentMode::Center;
}

}  // namespace vexa
