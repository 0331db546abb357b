// String helpers of the SDK's text code.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

class QLEmotionString {
 public:
  // The MD5 digest (RFC 1321) of all the text's UTF-8 bytes, as 32 lower-case
  // hexadecimal digits.
  static std::string ql_md5(std::string_view text);
};

}  // namespace vexa
