#include "vexa/platform/ui/TextAreaView.h"

namespace vexa {

// The platform's text view insets: 8 above and below, 5 of line padding.
TextAreaView::TextAreaView(Rect frame) : TextInputView(frame, true, EdgeInsets{8, 5, 8, 5}) {}

}  // namespace vexa
