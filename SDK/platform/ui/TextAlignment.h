// Horizontal alignment of text in labels and buttons.
#pragma once

namespace vexa {

enum class TextAlignment { Left, Center, Right };

}  // namespace vexa
