#include "vexa/api/QLDeviceIdentifier.h"

#include "vexa/platform/Uuid.h"

namespace vexa {

std::string QLDeviceIdentifier::identifier() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (cached_) return *cached_;
  auto stored = store_.password(kService, kAccount);
  if (stored && !stored->empty()) {
    cached_ = *stored;
    return *cached_;
  }
  std::string made = Uuid::random();
  // A store that cannot be written is no reason to fail a request.
  (void)store_.setPassword(kService, kAccount, made);
  cached_ = made;
  return made;
}

}  // namespace vexa
