#include "vexa/shop/QLTermsViewController.h"

#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLURL.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/shop/QLBackBarButton.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {
namespace {

// The failure page leaves this much of the screen's top uncovered.
constexpr double kLoadFailedTop = 56;
// How long the secure attempt may take to connect before plain HTTP is
// tried: a host that drops packets on its HTTPS port must not hold the
// page for the full connect timeout.
constexpr double kSecureConnectTimeout = 5;

std::string localized(const std::string& key) {
  return QLEmotionGlobal::sharedInstance().localizedStringForKey(key);
}

// No secure connection could be made: nothing answers, or TLS failed.
bool isSecureConnectionFailure(const Error& error) {
  if (error.domain() != kQLURLErrorDomain) return false;
  switch (error.code()) {
    case kQLURLErrorCannotConnectToHost:
    case kQLURLErrorTimedOut:
    case kQLURLErrorNetworkConnectionLost:
    case kQLURLErrorSecureConnectionFailed:
    case kQLURLErrorBadServerResponse:
      return true;
    default:
      return false;
  }
}

}  // namespace

QLTermsViewController::QLTermsViewController(QLDownloadManager& manager)
    : urls_(termsPageURLsForServiceURL(manager.baseURLString())) {}

QLTermsViewController::~QLTermsViewController() = default;

std::vector<std::string> QLTermsViewController::termsPageURLsForServiceURL(const std::string& apiBaseURL) {
  auto service = QLURL::parse(apiBaseURL);
  if (!service) return {};
  const std::string scheme = service->scheme();
  if (scheme != "http" && scheme != "https") return {};
  std::string host = service->host();
  if (host.find(':') != std::string::npos && !host.starts_with("[")) host = "[" + host + "]";
  const int defaultPort = scheme == "https" ? 443 : 80;
  const std::string authority =
      service->port() == defaultPort ? host : host + ":" + std::to_string(service->port());
  if (scheme == "https") return {"https://" + authority + kQLTermsPagePath};
  return {"https://" + authority + kQLTermsPagePath, "http://" + authority + kQLTermsPagePath};
}

void QLTermsViewController::viewDidLoad() {
  setTitle(localized("服务声明"));
  view()->setBackgroundColor(Color::whiteColor());
  std::weak_ptr<ViewController> weak = weak_from_this();
  navigationItem()->setLeftBarButtonItem(QLBackBarButton::item([weak] {
    if (auto self = std::static_pointer_cast<QLTermsViewController>(weak.lock())) self->backAction();
  }));
  webView_ = WebView::create(view()->bounds());
  // Owned here and held weakly by the page view: they end with this screen.
  webDelegate_ = std::make_shared<WebViewDelegate>();
  webDelegate_->webViewDidStartLoad = [this](WebView&) { hud_.show(*this); };
  webDelegate_->webViewDidFinishLoad = [this](WebView&) {
    removeLoadFailedView();
    hud_.hide();
  };
  webDelegate_->didFailLoadWithError = [this](WebView&, const Error& error) { pageDidFail(error); };
  webView_->setDelegate(webDelegate_);
  view()->addSubview(webView_);
  failedDataSource_ = std::make_shared<QLLoadFailedViewDataSource>();
  failedDataSource_->requestData = [this] { requestData(); };
  loadPage(0);
}

void QLTermsViewController::viewDidLayoutSubviews() {
  // The page begins under the navigation bar, not behind it.
  const Rect bounds = view()->bounds();
  const double top = topLayoutGuideLength();
  webView_->setFrame(Rect(0, top, bounds.width(), bounds.height() - top));
  if (loadFailedView_) loadFailedView_->setFrame(loadFailedFrame());
}

Rect QLTermsViewController::loadFailedFrame() {
  const Rect bounds = view()->bounds();
  return Rect(0, kLoadFailedTop, bounds.width(), bounds.height() - kLoadFailedTop);
}

void QLTermsViewController::requestData() {
  removeLoadFailedView();
  loadPage(0);
}

void QLTermsViewController::loadPage(size_t candidate) {
  if (!webView_) return;
  candidate_ = candidate;
  if (candidate >= urls_.size()) {
    showLoadFailedView();
    return;
  }
  QLURLRequest request(urls_[candidate]);
  if (candidate + 1 < urls_.size()) request.setConnectTimeout(kSecureConnectTimeout);
  if (Status started = webView_->loadRequest(std::move(request)); !started.ok()) {
    hud_.hide();
    showLoadFailedView();
  }
}

void QLTermsViewController::pageDidFail(const Error& error) {
  if (candidate_ + 1 < urls_.size() && isSecureConnectionFailure(error)) {
    loadPage(candidate_ + 1);
    return;
  }
  hud_.hide();
  showLoadFailedView();
}

void QLTermsViewController::showLoadFailedView() {
  removeLoadFailedView();
  loadFailedView_ = QLLoadFailedView::create(loadFailedFrame());
  loadFailedView_->setDataSource(failedDataSource_);
  loadFailedView_->reloadBtn()->setAccessibilityIdentifier("retry");
  view()->addSubview(loadFailedView_);
}

void QLTermsViewController::removeLoadFailedView() {
  if (!loadFailedView_) return;
  loadFailedView_->removeFromSuperview();
  loadFailedView_.reset();
}

void QLTermsViewController::backAction() { QLBackBarButton::goBack(*this); }

}  // namespace vexa
