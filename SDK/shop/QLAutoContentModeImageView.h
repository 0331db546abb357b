// An image view that picks its own content mode whenever its image or its
// size changes: an image whose shorter side is longer than the view's is
// scaled to fit, a smaller one is shown centred at its own size (see
// QLContentModeAdjuster). The big-emoji screen and the preview popovers
// show emojis in it. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/ImageView.h"

namespace vexa {

class QLAutoContentModeImageView : public ImageView {
 public:
  explicit QLAutoContentModeImageView(Rect frame = {}) : ImageView(frame) {}
  static std::shared_ptr<QLAutoContentModeImageView> create(Rect frame = {}) {
    return std::make_shared<QLAutoContentModeImageView>(frame);
  }

  void setImage(std::shared_ptr<const Image> image) override;

 protected:
  void didChangeBounds(const Rect& oldBounds) override;

 private:
  void adjustContentModeAutomatically();
};

}  // namespace vexa
