#include "vexa/platform/TextView.h"

namespace vexa {

bool TextView::shouldChangeText(CharacterRange range, const std::string& text) {
  auto d = delegate();
  if (!d || !d->shouldChangeTextInRange) return true;
  return d->shouldChangeTextInRange(*this, range, text);
}

void TextView::didChangeText() {
  if (auto d = delegate(); d && d->textViewDidChange) d->textViewDidChange(*this);
}

}  // namespace vexa
