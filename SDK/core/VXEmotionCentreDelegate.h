// What the host learns of the user's choices.
//
// Every operation is optional: leave a member empty and the centre skips it.
// The host owns the delegate (std::shared_ptr) and hands it to the centre,
// which holds it weakly; once the host drops it, no call reaches it.
#pragma once

#include <functional>
#include <memory>

#include "vexa/store/VXEmoji.h"

namespace vexa {

class TextInput;

struct VXEmotionCentreDelegate {
  // The user picked an emoji in the keyboard that is not inserted inline.
  std::function<void(const std::shared_ptr<VXEmoji>& emoji)> didSelectEmoji;
  // The user picked an emoji in the input-tip popover.
  std::function<void(const std::shared_ptr<VXEmoji>& emoji)> didSelectTipEmoji;
  // The user pressed the keyboard's send button.
  std::function<void(TextInput& input)> didSendWithInput;
  // The user tapped the input while the emotion keyboard was shown; the
  // input is already back on the system keyboard.
  std::function<void()> tapOverlay;
};

}  // namespace vexa
