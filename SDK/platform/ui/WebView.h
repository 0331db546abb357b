// A page view: loads a web page through the HTTP client layer and shows its
// text (see HTMLTextExtractor) in a vertical scroll view, wrapped to the
// view's width: headings, paragraphs, list items and preformatted blocks,
// links underlined and tappable. Scripts and styles are neither run nor
// shown; pages are read as UTF-8.
//
// Navigation stays on the page's own host: the first request fixes the
// host name, and every later load (a tapped link, a reload, another
// loadRequest) must use the same name (any port, http or https, but never
// from an https page down to http) or it is refused with an error in
// kWebViewErrorDomain and nothing changes; redirects to another host name
// fail the load. So a screen may try https first and fall back to http on
// the same host: the failure it gets carries the HTTP layer's error
// (kQLURLErrorDomain: cannot connect, TLS failure ...) unchanged.
//
// The delegate (held weakly, members optional) is asked before each load
// and told, on the main queue, when a load starts, finishes (the page is
// shown) or fails (the page shown so far stays). Starting a load stops the
// one before it, which then reports nothing. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/http/QLHTTPRequestOperation.h"
#include "vexa/http/QLURLRequest.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/ui/HTMLTextExtractor.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class QLHTTPTransport;
class ScrollView;
class WebTextBlockView;
class WebView;

enum class WebViewNavigationType { LinkClicked, Reload, Other };

struct WebViewDelegate {
  virtual ~WebViewDelegate() = default;
  // False refuses the load (kWebViewErrorRefused).
  std::function<bool(WebView&, const QLURLRequest&, WebViewNavigationType)> shouldStartLoadWithRequest;
  std::function<void(WebView&)> webViewDidStartLoad;
  std::function<void(WebView&)> webViewDidFinishLoad;
  std::function<void(WebView&, const Error&)> didFailLoadWithError;
};

extern const char* const kWebViewErrorDomain;  // "VXWebViewErrorDomain"
enum WebViewErrorCode : int64_t {
  kWebViewErrorUnsupportedURL = 1,  // not an http(s) URL
  kWebViewErrorAnotherHost = 2,     // off the page's host, or down from https
  kWebViewErrorRefused = 3,         // the delegate said no
  kWebViewErrorNothingToReload = 4,
};

class WebView : public View {
 public:
  static constexpr double kMargin = 8;
  static constexpr double kBlockSpacing = 8;
  static constexpr double kHeadingSpacing = 14;
  static constexpr double kListIndent = 16;

  explicit WebView(Rect frame = {});
  ~WebView() override;
  static std::shared_ptr<WebView> create(Rect frame = {}) { return std::make_shared<WebView>(frame); }

  void setDelegate(std::weak_ptr<WebViewDelegate> delegate) { delegate_ = std::move(delegate); }
  std::shared_ptr<WebViewDelegate> delegate() const { return delegate_.lock(); }

  // Starts loading (see the navigation rules above).
  Status loadRequest(QLURLRequest request);
  // Loads the last request again.
  Status reload();
  // Follows an href of the page shown (relative ones resolve against it).
  Status openLink(const std::string& href);
  // Stops the running load; it reports nothing.
  void stopLoading();
  bool isLoading() const { return static_cast<bool>(operation_); }

  // The last request started, if any.
  const std::optional<QLURLRequest>& request() const { return request_; }
  // The URL of the page shown (after redirects); empty before one is shown.
  const std::string& pageURL() const { return pageURL_; }
  // The host name every load must keep; empty before the first load.
  const std::string& host() const { return host_; }
  const HTMLText& page() const { return page_; }

  const std::shared_ptr<ScrollView>& scrollView() const { return scrollView_; }
  const std::vector<std::shared_ptr<WebTextBlockView>>& blockViews() const { return blockViews_; }

  void layoutSubviews() override;

 private:
  Status navigate(QLURLRequest request, WebViewNavigationType type);
  void didLoad(uint64_t generation, const QLHTTPRequestOperation& operation);
  void didFail(uint64_t generation, const Error& error);
  void show(HTMLText page);

  std::weak_ptr<WebViewDelegate> delegate_;
  std::shared_ptr<ScrollView> scrollView_;
  std::vector<std::shared_ptr<WebTextBlockView>> blockViews_;
  std::shared_ptr<QLHTTPTransport> transport_;
  QLHTTPRequestOperation::Ptr operation_;
  uint64_t generation_ = 0;  // loads started; late reports of older ones are dropped
  std::optional<QLURLRequest> request_;
  std::string pageURL_;
  std::string host_;
  HTMLText page_;
  double laidOutWidth_ = -1;
};

}  // namespace vexa
