// A host program linking the installed SDK.
#include <iostream>

#include <vexa/core/VXEmotionCentre.h>
#include <vexa/core/VXVersionManager.h>

int main() {
  vexa::VXEmotionCentre::defaultCentre().setAppId("app", "secret");
  std::cout << vexa::VXVersionManager::versionString() << "\n";
  return 0;
}
