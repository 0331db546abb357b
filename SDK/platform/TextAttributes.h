// The attributes of one character of rich text: font, text colour and an
// inline attachment. Absent values mean "the input's default".
#pragma once

#include <memory>
#include <optional>

#include "vexa/platform/Color.h"
#include "vexa/platform/Font.h"
#include "vexa/platform/TextAttachment.h"

namespace vexa {

struct TextAttributes {
  std::optional<Font> font;
  std::optional<Color> foregroundColor;
  // Set on attachment characters only; compared by identity.
  std::shared_ptr<TextAttachment> attachment;

  bool operator==(const TextAttributes&) const = default;
};

}  // namespace vexa
