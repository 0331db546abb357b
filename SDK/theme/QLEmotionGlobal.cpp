#include "vexa/theme/QLEmotionGlobal.h"

#include <algorithm>
#include <charconv>

#include "vexa/platform/Base64.h"
#include "vexa/platform/Environment.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/Once.h"
#include "vexa/platform/Screen.h"
#include "vexa/store/image/QLImageDecoder.h"
#include "vexa/theme/QLBuiltinImages.h"

// The bundle's directory: the build tree's, or the one recorded when the SDK
// was installed (vexa_bundle_location).
extern "C" const char vexa_bundle_directory[];

namespace vexa {
namespace {

std::shared_ptr<const Image> decodeWithTheSDK(const Bytes& data) {
  return QLImageDecoder::ql_sd_imageWithData(data);
}

}  // namespace

QLEmotionGlobal& QLEmotionGlobal::sharedInstance() {
  return Once<QLEmotionGlobal>::instance([] { return new QLEmotionGlobal(); });
}

QLEmotionGlobal::Configuration QLEmotionGlobal::standardConfiguration() {
  Configuration c;
  if (auto dir = Environment::nonEmpty("VEXA_BUNDLE_DIR")) c.bundleSearchPath.emplace_back(*dir);
  c.bundleSearchPath.emplace_back(vexa_bundle_directory);
  c.decodeImage = decodeWithTheSDK;
  return c;
}

QLEmotionGlobal::QLEmotionGlobal(Configuration configuration)
    : configuration_(std::move(configuration)) {}

std::shared_ptr<VXTheme> QLEmotionGlobal::theme() {
  std::lock_guard<std::mutex> lock(themeMutex_);
  if (!theme_) theme_ = std::make_shared<VXTheme>();
  return theme_;
}

void QLEmotionGlobal::setTheme(std::shared_ptr<VXTheme> theme) {
  std::lock_guard<std::mutex> lock(themeMutex_);
  theme_ = std::move(theme);
}

const std::map<std::string, std::string, std::less<>>& QLEmotionGlobal::emotionStrings() {
  static const auto* kStrings = [] {
    auto* strings = new std::map<std::string, std::string, std::less<>>();
    for (const char* text : {"发送", "Vexa艺术中心", "删除 ( %@ )", "我的收藏表情", "编辑", "Vexa", "分享",
                             "设计师主页", "表情下载记录", "下载", "发表情", "我的表情", "我收藏的表情", "已下载",
                             "已下载表情", "长按表情可预览", "Vexa商店", "服务声明", "获取表情包信息失败"}) {
      strings->emplace(text, text);
    }
    return strings;
  }();
  return *kStrings;
}

const std::map<std::string, std::string_view, std::less<>>& QLEmotionGlobal::base64Images() {
  static const auto* kImages = [] {
    auto* images = new std::map<std::string, std::string_view, std::less<>>();
    for (const auto& entry : QLBuiltinImages::entries()) images->emplace(entry.key, entry.base64);
    return images;
  }();
  return *kImages;
}

std::shared_ptr<ResourceBundle> QLEmotionGlobal::resourceBundle() const {
  std::call_once(bundleOnce_, [this] {
    for (const auto& dir : configuration_.bundleSearchPath) {
      if (auto bundle = ResourceBundle::open(dir)) {
        bundle_ = *bundle;
        return;
      }
    }
  });
  return bundle_;
}

std::string QLEmotionGlobal::resourceBundleName() const {
  auto bundle = resourceBundle();
  if (!bundle) return {};
  auto path = bundle->resourcePath();
  if (!path.has_filename()) path = path.parent_path();  // a trailing separator
  return path.filename().string();
}

std::string QLEmotionGlobal::printedScale(double scale) {
  double s = std::max(scale, 2.0);
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, s);
  return ec == std::errc() ? std::string(buffer, end) : std::string("2");
}

std::shared_ptr<const Image> QLEmotionGlobal::sdkUIimageWithName(std::string_view name) const {
  auto bundle = resourceBundle();
  if (!bundle || !configuration_.decodeImage) return nullptr;
  auto file = bundle->pathForResource(std::string(name) + "@" + printedScale(Screen::main().scale) + "x", "png");
  if (!file) return nullptr;
  auto bytes = FileSystem::readFile(*file, 16u << 20);
  if (!bytes) return nullptr;
  return configuration_.decodeImage(Bytes(bytes->begin(), bytes->end()));
}

std::optional<Bytes> QLEmotionGlobal::base64UIimageDataWithName(std::string_view name) const {
  const auto& images = base64Images();
  auto scaled = std::string(name) + "@" + printedScale(Screen::main().scale) + "x";
  if (auto it = images.find(scaled); it != images.end() && !it->second.empty()) {
    if (auto bytes = Base64::decode(it->second)) return bytes;
  }
  if (auto it = images.find(name); it != images.end() && !it->second.empty()) {
    return Base64::decode(it->second);
  }
  return std::nullopt;
}

std::shared_ptr<const Image> QLEmotionGlobal::base64UIimageWithName(std::string_view name) const {
  auto bytes = base64UIimageDataWithName(name);
  if (!bytes || !configuration_.decodeImage) return nullptr;
  return configuration_.decodeImage(*bytes);
}

std::string QLEmotionGlobal::localizedStringForKey(const std::string& key) const {
  const auto& strings = emotionStrings();
  if (auto it = strings.find(key); it != strings.end()) return it->second;
  auto bundle = resourceBundle();
  return bundle ? bundle->localizedStringForKey(key, "", "VXEmotion") : key;
}

}  // namespace vexa
