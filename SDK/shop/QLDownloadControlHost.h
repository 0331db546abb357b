// What every cell that hosts a download control shares: it is the control's
// delegate and passes a tap on to the cell's download handler, but only
// while the control's progress is exactly 0, so that "下载" starts at most
// one download and "已下载" or a running download start nothing.
//
// Held by the cell (not copyable, not movable: the control's delegate points
// back at it). Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "vexa/shop/QLDownloadView.h"

namespace vexa {

class QLDownloadControlHost {
 public:
  using DownloadHandler = std::function<void(int status)>;

  explicit QLDownloadControlHost(const std::shared_ptr<QLDownloadView>& control);
  QLDownloadControlHost(const QLDownloadControlHost&) = delete;
  QLDownloadControlHost& operator=(const QLDownloadControlHost&) = delete;

  const DownloadHandler& handler() const { return handler_; }
  void setHandler(DownloadHandler handler) { handler_ = std::move(handler); }

  // The control's delegate operation.
  void triggerActionForStatus(QLDownloadView& control, int status);

 private:
  std::shared_ptr<QLDownloadViewDelegate> delegate_;
  DownloadHandler handler_;
};

}  // namespace vexa
