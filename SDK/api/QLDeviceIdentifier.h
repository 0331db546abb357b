// The device identifier sent with every request: a random UUID kept in the
// secure item store (service "qlemotion", account "com.tarvel.qlsdk") so that
// it stays the same across launches. Thread-safe.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "vexa/platform/SecureItemStore.h"

namespace vexa {

class QLDeviceIdentifier {
 public:
  static constexpr const char* kService = "qlemotion";
  static constexpr const char* kAccount = "com.tarvel.qlsdk";

  explicit QLDeviceIdentifier(SecureItemStore& store) : store_(store) {}

  // The stored identifier; a new one is made and stored when none (or an
  // empty one) is there. Once known it is kept in memory, so a store that
  // cannot be written still yields one identifier per process.
  std::string identifier();

 private:
  SecureItemStore& store_;
  std::mutex mutex_;
  std::optional<std::string> cached_;  // GUARDED_BY(mutex_)
};

}  // namespace vexa
