// The SDK's version: 1.2.2, encoded as major << 16 | minor << 8 | patch.
#pragma once

#include <cstdint>
#include <string>

namespace vexa {

class VXVersionManager {
 public:
  static constexpr int64_t kMajor = 1;
  static constexpr int64_t kMinor = 2;
  static constexpr int64_t kPatch = 2;
  static constexpr int64_t kVersion = (kMajor << 16) | (kMinor << 8) | kPatch;  // 66050

  static VXVersionManager& defaultManager();

  // "VEXA version 1.2.2".
  static std::string versionString(int64_t version = kVersion);
};

}  // namespace vexa
