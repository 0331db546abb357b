// The headers every request carries unless its serializer is told
// otherwise: "Accept-Language" from the user's preferred languages and
// "User-Agent" from the host application's name and version, the device and
// the screen. Stateless; thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

class QLHTTPDefaultHeaders {
 public:
  // The process locale's languages in order of preference, as language tags
  // ("zh-CN"): $LANGUAGE's list, then $LC_ALL, $LC_MESSAGES or $LANG. "en"
  // when none is set or the locale is "C"/"POSIX".
  static std::vector<std::string> preferredLanguages();

  // "zh-CN, en;q=0.9, ..." with q = 1.0 - 0.1 x position, ending after the
  // first language whose q is 0.5 or less (at most six languages).
  static std::string acceptLanguage(const std::vector<std::string>& languages);

  // "<name>/<version> (<model>; iOS <system version>; Scale/<scale, 2 decimals>)",
  // reduced to printable ASCII (see asciiOnly()).
  static std::string userAgent(std::string_view appName, std::string_view appVersion,
                               std::string_view model, std::string_view systemVersion,
                               double scale);
  // The User-Agent from the current device and main screen.
  static std::string userAgent(std::string_view appName, std::string_view appVersion);

  // The text with Latin letters stripped of their accents and every other
  // non-ASCII or control character removed, so it can stand in a header.
  static std::string asciiOnly(std::string_view text);

  // The name of the running executable, the default application name.
  static std::string executableName();
};

}  // namespace vexa
