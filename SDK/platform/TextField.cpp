#include "vexa/platform/TextField.h"

namespace vexa {

bool TextField::shouldChangeText(CharacterRange range, const std::string& text) {
  auto d = delegate();
  if (!d || !d->shouldChangeCharactersInRange) return true;
  return d->shouldChangeCharactersInRange(*this, range, text);
}

void TextField::didChangeText() {
  if (auto d = delegate(); d && d->textFieldDidChange) d->textFieldDidChange(*this);
}

}  // namespace vexa
