#include "vexa/shop/QLDownloadControlHost.h"

namespace vexa {

QLDownloadControlHost::QLDownloadControlHost(const std::shared_ptr<QLDownloadView>& control)
    : delegate_(std::make_shared<QLDownloadViewDelegate>()) {
  // The control holds the delegate weakly; it ends with this host.
  delegate_->triggerActionForStatus = [this](QLDownloadView& view, int status) {
    triggerActionForStatus(view, status);
  };
  control->setDelegate(delegate_);
}

void QLDownloadControlHost::triggerActionForStatus(QLDownloadView& control, int status) {
  if (handler_ && control.progress() == 0) handler_(status);
}

}  // namespace vexa
