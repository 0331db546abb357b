#include "vexa/text/QLEmotionString.h"

#include "vexa/platform/Md5.h"

namespace vexa {

std::string QLEmotionString::ql_md5(std::string_view text) { return Md5::lowerHex(text); }

}  // namespace vexa
