// The SDK's global resources: the theme in force, the texts it shows, the
// pictures built into the library (Base64 text), and the resource bundle
// "VEXA.bundle" that ships beside the SDK (the string table "VXEmotion" and
// the pictures "back", "setting" and "backspace" at @2x and @3x).
//
// Pictures are chosen for the main screen's scale s as max(s, 2), printed in
// its shortest form ("2", "3", "2.5"): "name@2x".
//
// The bundle is looked for in VEXA_BUNDLE_DIR when that is set, else where
// the SDK put it: the build tree's bundle for a library used in its build
// tree, <prefix>/<datadir>/vexa/VEXA.bundle for an installed one (the prefix
// is recorded when the SDK is installed).
//
// sharedInstance() is safe from any thread; the rest is thread-safe too, but
// the theme object itself belongs to the main thread.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/Image.h"
#include "vexa/platform/ResourceBundle.h"
#include "vexa/platform/Value.h"
#include "vexa/theme/VXTheme.h"

namespace vexa {

class QLEmotionGlobal {
 public:
  using ImageDecoder = std::function<std::shared_ptr<const Image>(const Bytes& data)>;

  struct Configuration {
    // Candidate bundle directories; the first that exists is the bundle.
    std::vector<std::filesystem::path> bundleSearchPath;
    // Turns picture bytes into an image; without one, no image is made.
    ImageDecoder decodeImage;
  };

  static QLEmotionGlobal& sharedInstance();
  // The environment override, the build tree, the install location; the
  // SDK's image decoder.
  static Configuration standardConfiguration();

  explicit QLEmotionGlobal(Configuration configuration = standardConfiguration());
  QLEmotionGlobal(const QLEmotionGlobal&) = delete;
  QLEmotionGlobal& operator=(const QLEmotionGlobal&) = delete;

  // The theme in force; a default one is made when none is set.
  std::shared_ptr<VXTheme> theme();
  void setTheme(std::shared_ptr<VXTheme> theme);

  // The 19 texts shown as they are (each key maps to itself).
  static const std::map<std::string, std::string, std::less<>>& emotionStrings();
  // The 21 built-in pictures: "name@2x"/"name@3x" (and "loading") to Base64.
  static const std::map<std::string, std::string_view, std::less<>>& base64Images();

  // The resource bundle, or nullptr when none was found.
  std::shared_ptr<ResourceBundle> resourceBundle() const;
  // "VEXA.bundle" for the SDK's own; "" without a bundle.
  std::string resourceBundleName() const;

  // The bundle picture "name@<scale>x.png" for the main screen, or nullptr.
  std::shared_ptr<const Image> sdkUIimageWithName(std::string_view name) const;
  // The bytes of a built-in picture for the main screen ("name@<scale>x",
  // else the bare name), or none.
  std::optional<Bytes> base64UIimageDataWithName(std::string_view name) const;
  std::shared_ptr<const Image> base64UIimageWithName(std::string_view name) const;

  // The text to show for a key: itself for the texts above, else the
  // bundle's "VXEmotion" table, else the key.
  std::string localizedStringForKey(const std::string& key) const;

  // The scale part of picture names: max(scale, 2) in its shortest form.
  static std::string printedScale(double scale);

 private:
  Configuration configuration_;
  mutable std::once_flag bundleOnce_;
  mutable std::shared_ptr<ResourceBundle> bundle_;  // set once under bundleOnce_
  mutable std::mutex themeMutex_;
  std::shared_ptr<VXTheme> theme_;  // GUARDED_BY(themeMutex_)
};

}  // namespace vexa
