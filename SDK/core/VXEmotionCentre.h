// The SDK's facade: the one object a host application talks to.
//
// A process-wide singleton that hands the host's configuration on to the API
// client and delivers the user's choices through a weakly held delegate.
// Used from the main thread; only defaultCentre() is safe from any thread.
#pragma once

#include <memory>
#include <string>

#include "vexa/core/VXEmotionCentreDelegate.h"

namespace vexa {

class VXEmotionCentre {
 public:
  // Creates the centre on first use (thread-safe) and returns it. Creation
  // runs the one-time upgrade step over the store on the main thread: at
  // once there, else on the main queue's next turn.
  static VXEmotionCentre& defaultCentre();

  VXEmotionCentre(const VXEmotionCentre&) = delete;
  VXEmotionCentre& operator=(const VXEmotionCentre&) = delete;

  // Hands the credentials to the API client; the centre stores neither.
  void setAppId(const std::string& appId, const std::string& secret);
  void setUserId(const std::string& userId);

  std::shared_ptr<VXEmotionCentreDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<VXEmotionCentreDelegate>& delegate);

  bool supportedMixedTextImage() const { return supportedMixedTextImage_; }

 private:
  VXEmotionCentre();

  std::weak_ptr<VXEmotionCentreDelegate> delegate_;
  bool supportedMixedTextImage_ = true;
};

}  // namespace vexa
