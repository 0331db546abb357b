#include "SdkActivity.h"

#include "ToolSdk.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/GlobalQueue.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/WebView.h"
#include "vexa/store/image/loader/QLImageLoader.h"

namespace vexa::tool::ui {

namespace {

size_t pageLoads(View& view) {
  size_t n = 0;
  if (auto* page = dynamic_cast<WebView*>(&view); page && page->isLoading()) ++n;
  for (const auto& child : view.subviews()) n += pageLoads(*child);
  return n;
}

}  // namespace

std::string SdkActivity::busy(View& window) {
  std::string out;
  auto add = [&out](size_t count, const char* what) {
    if (count == 0) return;
    if (!out.empty()) out += ", ";
    out += std::to_string(count) + " " + what;
  };
  auto& manager = QLDownloadManager::defaultManager();
  add(manager.operationQueue().operationCount(), "requests");
  add(manager.downloadQueue().operationCount(), "package downloads");
  add(manager.pendingReportCount(), "reports");
  add(QLImageLoader::sharedLoader()->activeDownloadCount(), "image downloads");
  add(pageLoads(window), "page loads");
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
