// What every emotion keyboard of the process shares: the recommended
// category fetched from the service (at most once while none is held), the
// service's new-emoji time stamp (0 until it answered), and whether the
// user is on the recommended group.
//
// One session per process (shared()); tests make their own and hand it to
// the keyboards they create. Keyboards and their requests in flight share
// ownership, so a session outlives every answer addressed to it. Main
// thread only.
#pragma once

#include <memory>

#include "vexa/store/QLCategory.h"

namespace vexa {

class QLEmotionKeyboardSession {
 public:
  static const std::shared_ptr<QLEmotionKeyboardSession>& shared();

  const std::shared_ptr<QLCategory>& recommendCategory() const { return recommendCategory_; }
  void setRecommendCategory(std::shared_ptr<QLCategory> category) {
    recommendCategory_ = std::move(category);
  }
  // Milliseconds since 1970.
  double newEmojiTimestamp() const { return newEmojiTimestamp_; }
  void setNewEmojiTimestamp(double timestamp) { newEmojiTimestamp_ = timestamp; }
  bool recommendGroupSelected() const { return recommendGroupSelected_; }
  void setRecommendGroupSelected(bool selected) { recommendGroupSelected_ = selected; }

  // A request already on its way is not sent again by another keyboard.
  bool recommendRequestInFlight = false;
  bool timestampRequestInFlight = false;

 private:
  std::shared_ptr<QLCategory> recommendCategory_;
  double newEmojiTimestamp_ = 0;
  bool recommendGroupSelected_ = false;
};

}  // namespace vexa
