// The content mode an image view picks for its image: an image whose shorter
// side is longer than the shorter side of the view's frame is scaled to fit
// (keeping its aspect); a smaller one is shown centred at its own size.
// Pure function of the two sizes, in points.
#pragma once

#include <optional>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/Image.h"

namespace vexa {

enum class QLImageContentMode { ScaleAspectFit, Center };

class QLContentModeAdjuster {
 public:
  // None (leave the view's mode as it is) when there is no image.
  static std::optional<QLImageContentMode> adjustContentModeAutomatically(const Image* image,
                                                                          Size viewFrameSize);
  static QLImageContentMode contentModeForSizes(Size imageSize, Size viewFrameSize);
};

}  // namespace vexa
