#include "core/VXVersionManager.h"

#include "platform/Once.h"

namespace vexa {

VXVersionManager& VXVersionManager::defaultManager() { return Once<VXVersionManager>::instance(); }

std::string VXVersionManager::versionString(int64_t version) {
  return "VEXA version " + std::to_string((version >> 16) & 0xFF) + "." +
         std::to_string((version >> 8) & 0xFF) + "." + std::to_string(version & 0xFF);
}

}  // namespace vexa
