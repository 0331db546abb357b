// A host program linking the installed SDK: the version, and the resource
// bundle found where the SDK was installed.
#include <iostream>

#include <vexa/theme/QLEmotionGlobal.h>
#include <vexa/core/VXEmotionCentre.h>
#include <vexa/core/VXVersionManager.h>

int main() {
  vexa::VXEmotionCentre::defaultCentre().setAppId("app", "secret");
  std::cout << vexa::VXVersionManager::versionString() << "\n";
  const auto& global = vexa::QLEmotionGlobal::sharedInstance();
  std::cout << "bundle " << global.resourceBundleName()
            << (global.sdkUIimageWithName("back") ? " with pictures" : " without pictures") << "\n";
  return 0;
}
