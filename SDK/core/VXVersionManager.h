// The SDK's version, 1.2.2, encoded as major << 16 | minor << 8 | patch, and
// the one-time upgrade of stored packages after the SDK changed.
//
// The version last seen on the device is kept in the user defaults under
// "keyVXVersion" (absent means 0). defaultManager() is safe from any thread;
// the rest belongs to the main thread, like the store it upgrades.
#pragma once

#include <cstdint>
#include <string>

#include "vexa/core/QLPackageUpgradeStore.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/UserDefaults.h"

namespace vexa {

class VXVersionManager {
 public:
  static constexpr int64_t kMajor = 1;
  static constexpr int64_t kMinor = 2;
  static constexpr int64_t kPatch = 2;
  static constexpr int64_t kVersion = (kMajor << 16) | (kMinor << 8) | kPatch;  // 66050
  static constexpr const char* kVersionKey = "keyVXVersion";

  static VXVersionManager& defaultManager();

  // Works on the given defaults; without, on UserDefaults::standard() of the
  // moment (so a changed data root is followed).
  explicit VXVersionManager(UserDefaults* defaults = nullptr) : defaults_(defaults) {}

  // "VEXA version 1.2.2".
  static std::string versionString(int64_t version = kVersion);
  std::string vexaVersion() const { return versionString(); }

  // The version recorded on the device; 0 when none is.
  int64_t lastVersion() const;
  // Records the version and writes the defaults to disk at once.
  Status setLastVersion(int64_t version);

  // Once per upgrade: when nothing was recorded, every stored package's
  // isEmoji becomes its isDefault and all are written back as one batch;
  // then the current version is recorded. Nothing happens when it already
  // is. An error means the records or the version could not be written, so
  // the step runs again next time (it is idempotent).
  Status checkForUpdate(const QLPackageUpgradeStore& store = QLPackageUpgradeStore::standard());

 private:
  UserDefaults& defaults() const { return defaults_ ? *defaults_ : UserDefaults::standard(); }

  UserDefaults* defaults_;
};

}  // namespace vexa
