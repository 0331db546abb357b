#include "vexa/platform/ui/ImageAssets.h"

#include "vexa/platform/MainQueue.h"

namespace vexa {

ImageAssets& ImageAssets::shared() {
  static ImageAssets* assets = new ImageAssets();  // lives as long as the process
  return *assets;
}

void ImageAssets::registerImage(const std::string& name, std::shared_ptr<const Image> image) {
  VX_ASSERT_MAIN_THREAD();
  if (image) images_[name] = std::move(image); else images_.erase(name);
}

std::shared_ptr<const Image> ImageAssets::imageNamed(const std::string& name) {
  VX_ASSERT_MAIN_THREAD();
  if (auto it = images_.find(name); it != images_.end()) return it->second;
  if (!loader_) return nullptr;
  auto image = loader_(name);
  if (image) images_[name] = image;
  return image;
}

}  // namespace vexa
