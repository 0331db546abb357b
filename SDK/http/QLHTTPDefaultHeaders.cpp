#include "vexa/http/QLHTTPDefaultHeaders.h"

#include <utf8proc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "vexa/platform/Environment.h"
#include "vexa/platform/Screen.h"

namespace vexa {
namespace {

// "zh_CN.UTF-8@latin" -> "zh-CN"; empty for the C locale.
std::string languageTag(std::string_view locale) {
  locale = locale.substr(0, locale.find_first_of(".@"));
  if (locale.empty() || locale == "C" || locale == "POSIX") return {};
  std::string tag(locale);
  std::replace(tag.begin(), tag.end(), '_', '-');
  return tag;
}

}  // namespace

std::vector<std::string> QLHTTPDefaultHeaders::preferredLanguages() {
  std::vector<std::string> out;
  auto add = [&out](std::string_view locale) {
    std::string tag = languageTag(locale);
    if (!tag.empty() && std::find(out.begin(), out.end(), tag) == out.end()) out.push_back(tag);
  };
  if (auto list = Environment::nonEmpty("LANGUAGE")) {
    std::string_view rest = *list;
    while (!rest.empty()) {
      size_t colon = rest.find(':');
      add(rest.substr(0, colon));
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (auto v = Environment::nonEmpty(name)) {
      add(*v);
      break;
    }
  }
  if (out.empty()) out.push_back("en");
  return out;
}

std::string QLHTTPDefaultHeaders::acceptLanguage(const std::vector<std::string>& languages) {
  std::string out;
  for (size_t i = 0; i < languages.size(); ++i) {
    double q = 1.0 - 0.1 * static_cast<double>(i);
    char weight[16];
    std::snprintf(weight, sizeof weight, "%0.1g", q);
    if (!out.empty()) out += ", ";
    out += languages[i] + ";q=" + weight;
    if (q <= 0.5) break;
  }
  return out;
}

std::string QLHTTPDefaultHeaders::userAgent(std::string_view appName, std::string_view appVersion,
                                            std::string_view model,
                                            std::string_view systemVersion, double scale) {
  char scaleText[32];
  std::snprintf(scaleText, sizeof scaleText, "%0.2f", scale);
  std::string ua = std::string(appName) + "/" + std::string(appVersion) + " (" +
                   std::string(model) + "; iOS " + std::string(systemVersion) +
                   "; Scale/" + scaleText + ")";
  return asciiOnly(ua);
}

std::string QLHTTPDefaultHeaders::userAgent(std::string_view appName,
                                            std::string_view appVersion) {
  Device device = Device::current();
  return userAgent(appName, appVersion, device.model, device.systemVersion, Screen::main().scale);
}

std::string QLHTTPDefaultHeaders::asciiOnly(std::string_view text) {
  std::string source(text);
  utf8proc_uint8_t* mapped = nullptr;
  // Compatibility decomposition splits "é" into "e" and a combining accent,
  // which STRIPMARK then drops.
  utf8proc_ssize_t n = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(source.c_str()),
                                    static_cast<utf8proc_ssize_t>(source.size()), &mapped,
                                    static_cast<utf8proc_option_t>(UTF8PROC_COMPAT | UTF8PROC_DECOMPOSE |
                                                                   UTF8PROC_STRIPMARK));
  std::string decomposed = n >= 0 ? std::string(reinterpret_cast<char*>(mapped), static_cast<size_t>(n))
                                   : source;
  std::free(mapped);
  std::string out;
  out.reserve(decomposed.size());
  for (unsigned char c : decomposed) {
    if (c >= 0x20 && c < 0x7F) out.push_back(static_cast<char>(c));
  }
  return out;
}

std::string QLHTTPDefaultHeaders::executableName() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec && !exe.filename().empty()) return exe.filename().string();
  return "vexa";
}

}  // namespace vexa
