// The application's named images (the stand-in for images looked up by name
// in the application's resources). The host registers images, or installs a
// loader that finds them (for example by decoding files of a resource
// folder); loaded images are kept. One per process. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "vexa/platform/Image.h"

namespace vexa {

class ImageAssets {
 public:
  using Loader = std::function<std::shared_ptr<const Image>(const std::string& name)>;

  static ImageAssets& shared();

  void registerImage(const std::string& name, std::shared_ptr<const Image> image);
  void setLoader(Loader loader) { loader_ = std::move(loader); }
  // The image of that name, or nullptr.
  std::shared_ptr<const Image> imageNamed(const std::string& name);
  void removeAll() { images_.clear(); }

 private:
  ImageAssets() = default;
  std::unordered_map<std::string, std::shared_ptr<const Image>> images_;
  Loader loader_;
};

}  // namespace vexa
