// Percent-escaping of text for use in URLs, as UTF-8 bytes.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

class UrlEscaping {
 public:
  // Escapes what may not stand in a URL: controls, space, non-ASCII bytes and
  // any of  " % < > [ \ ] ^ ` { | }  become %XX of their UTF-8 bytes (upper
  // case hex). Characters legal in URLs, reserved ones and "#" included,
  // stay. Escaping twice escapes the "%" of the first pass.
  static std::string escape(std::string_view text);

  // Like escape(), but also escapes every character of `alsoEscape`, and
  // leaves every character of `leaveUnescaped` as it is (which wins).
  static std::string escape(std::string_view text, std::string_view alsoEscape,
                            std::string_view leaveUnescaped);

  // Makes a URL fit to send whether it arrives raw ("团子 cat/1.png") or
  // already escaped ("a%20b.png"): escapes what escape() does, except that
  // a "%" starting an escape ("%" and two hex digits) stays, so nothing is
  // escaped twice. Every URL image of the SDK's screens goes through it.
  static std::string escapeURL(std::string_view url);

  // Decodes %XX escapes; a "%" not followed by two hex digits stays as is.
  static std::string unescape(std::string_view text);
};

}  // namespace vexa
