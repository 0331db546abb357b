// The service terms page ("服务声明"), opened from the package detail
// screen's footer: the page "/pages/sdk/term.html" of the service's host,
// shown in a page view, with the HUD while it loads and the failure page
// (whose retry loads it again) when it cannot be had.
//
// The page is asked for over HTTPS first; only when no secure connection
// can be made to the host (nothing listens, or the TLS handshake fails) is
// it asked for over plain HTTP, and never when the service itself is
// reached over HTTPS. The page view keeps every load on the terms host.
//
// Main thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/platform/ui/WebView.h"
#include "vexa/shop/QLLoadFailedView.h"
#include "vexa/shop/QLScreenHUD.h"

namespace vexa {

inline constexpr const char* kQLTermsPagePath = "/pages/sdk/term.html";

class QLTermsViewController : public ViewController {
 public:
  explicit QLTermsViewController(QLDownloadManager& manager = QLDownloadManager::defaultManager());
  ~QLTermsViewController() override;

  // The addresses tried in order for a service at `apiBaseURL`: HTTPS, then
  // (for a plain-HTTP service) HTTP on the same host. Empty when the URL is
  // not a web address.
  static std::vector<std::string> termsPageURLsForServiceURL(const std::string& apiBaseURL);
  const std::vector<std::string>& termsPageURLs() const { return urls_; }

  // nullptr before the view is loaded.
  const std::shared_ptr<WebView>& webView() const { return webView_; }
  const std::shared_ptr<QLLoadFailedView>& loadFailedView() const { return loadFailedView_; }

  // Loads the page (the failure page's retry).
  void requestData();
  // Back: pops this screen, or closes the stack it is the root of.
  void backAction();

 protected:
  void viewDidLoad() override;
  void viewDidLayoutSubviews() override;

 private:
  Rect loadFailedFrame();
  void loadPage(size_t candidate);
  void pageDidFail(const Error& error);
  void showLoadFailedView();
  void removeLoadFailedView();

  std::vector<std::string> urls_;
  size_t candidate_ = 0;
  QLScreenHUD hud_;
  std::shared_ptr<WebView> webView_;
  std::shared_ptr<WebViewDelegate> webDelegate_;
  std::shared_ptr<QLLoadFailedView> loadFailedView_;
  std::shared_ptr<QLLoadFailedViewDataSource> failedDataSource_;
};

}  // namespace vexa
