#include "vexa/keyboard/QLEmotionKeyboardSession.h"

#include "vexa/platform/Once.h"

namespace vexa {

const std::shared_ptr<QLEmotionKeyboardSession>& QLEmotionKeyboardSession::shared() {
  static const auto session = std::make_shared<QLEmotionKeyboardSession>();
  return session;
}

}  // namespace vexa
