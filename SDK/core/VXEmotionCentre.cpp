#include "vexa/core/VXEmotionCentre.h"

#include "vexa/api/QLDownloadManager.h"
#include "vexa/core/VXVersionManager.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Once.h"

namespace vexa {

VXEmotionCentre& VXEmotionCentre::defaultCentre() {
  return Once<VXEmotionCentre>::instance([] { return new VXEmotionCentre(); });
}

VXEmotionCentre::VXEmotionCentre() {
  // A failed write only means the step runs again next start; the packages
  // it touched are already stored, so the host need not hear of it.
  auto upgrade = [] { (void)VXVersionManager::defaultManager().checkForUpdate(); };
  // The store belongs to the main thread. Not a synchronous hop: the main
  // thread may itself be waiting for this constructor to finish.
  if (isMainThread()) {
    upgrade();
  } else {
    MainQueue::shared().async(upgrade);
  }
}

void VXEmotionCentre::setAppId(const std::string& appId, const std::string& secret) {
  auto& manager = QLDownloadManager::defaultManager();
  manager.setAppId(appId);
  manager.setAppSecret(secret);
}

void VXEmotionCentre::setUserId(const std::string& userId) {
  QLDownloadManager::defaultManager().setUserId(userId);
}

void VXEmotionCentre::setDelegate(const std::shared_ptr<VXEmotionCentreDelegate>& delegate) {
  if (delegate_.lock() != delegate) delegate_ = delegate;
}

}  // namespace vexa
