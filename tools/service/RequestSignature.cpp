#include "service/RequestSignature.h"

#include "vexa/platform/Md5.h"

namespace vexa::service {

std::string RequestSignature::signedText(std::string_view absoluteUrl, const Value::Dictionary& params) {
  std::string text(absoluteUrl);
  bool first = true;
  // The dictionary is ordered byte-wise already.
  for (const auto& [key, value] : params) {
    if (key == kParameter) continue;
    if (!first) text += '&';
    first = false;
    text += key;
    text += '=';
    text += value.description();
  }
  return text;
}

std::string RequestSignature::compute(std::string_view absoluteUrl, const Value::Dictionary& params) {
  return Md5::upperHex(signedText(absoluteUrl, params));
}

}  // namespace vexa::service
