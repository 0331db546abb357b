#include "SdkActivity.h"

#include "ToolSdk.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/GlobalQueue.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/store/image/loader/QLImageLoader.h"

namespace vexa::tool::ui {

std::string SdkActivity::busy() {
  std::string out;
  auto add = [&out](size_t count, const char* what) {
    if (count == 0) return;
    if (!out.empty()) out += ", ";
    out += std::to_string(count) + " " + what;
  };
  auto& manager = QLDownloadManager::defaultManager();
  add(manager.operationQueue().operationCount(), "requests or downloads");
  add(manager.pendingReportCount(), "reports");
  add(QLImageLoader::sharedLoader()->activeDownloadCount(), "image downloads");
  auto flag = [&out](bool busy, const char* what) {
    if (!busy) return;
    if (!out.empty()) out += ", ";
    out += what;
  };
  flag(!GlobalQueue::shared().isIdle(), "background work");
  flag(MainQueue::shared().hasReadyTasks(), "main-queue work");
  return out;
}

void SdkActivity::finishDiskWrites() { waitForStoreDiskWork(); }

}  // namespace vexa::tool::ui
