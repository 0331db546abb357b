#include "vexa/platform/ui/TextFieldView.h"

namespace vexa {

TextFieldView::TextFieldView(Rect frame) : TextInputView(frame, false, EdgeInsets{0, 4, 0, 4}) {}

}  // namespace vexa
