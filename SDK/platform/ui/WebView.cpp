#include "vexa/platform/ui/WebView.h"

#include <algorithm>

#include "vexa/http/QLHTTPResponseSerializer.h"
#include "vexa/http/QLHTTPTransport.h"
#include "vexa/http/QLURL.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/ScrollView.h"
#include "vexa/platform/ui/WebTextBlockView.h"

namespace vexa {

const char* const kWebViewErrorDomain = "VXWebViewErrorDomain";

namespace {

Error webViewError(int64_t code, std::string description) {
  return Error(kWebViewErrorDomain, code, std::move(description));
}

std::string lowercase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string schemeOf(const std::string& url) {
  auto parsed = QLURL::parse(url);
  return parsed ? parsed->scheme() : std::string();
}

}  // namespace

WebView::WebView(Rect frame) : View(frame) {
  setBackgroundColor(Color::whiteColor());
  scrollView_ = ScrollView::create(bounds());
  scrollView_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  addSubview(scrollView_);
}

WebView::~WebView() {
  if (operation_) operation_->cancel();
}

Status WebView::loadRequest(QLURLRequest request) {
  return navigate(std::move(request), WebViewNavigationType::Other);
}

Status WebView::reload() {
  if (!request_) return webViewError(kWebViewErrorNothingToReload, "No page has been loaded");
  return navigate(*request_, WebViewNavigationType::Reload);
}

Status WebView::openLink(const std::string& href) {
  if (href.starts_with("#")) return Status::Ok();  // a place on the page shown
  std::string base = !pageURL_.empty() ? pageURL_ : request_ ? request_->url() : std::string();
  auto page = QLURL::parse(base);
  auto target = page ? page->resolve(href) : QLURL::parse(href);
  if (!target) return webViewError(kWebViewErrorUnsupportedURL, "Not a web address: " + href);
  return navigate(QLURLRequest(target->string()), WebViewNavigationType::LinkClicked);
}

void WebView::stopLoading() {
  if (!operation_) return;
  ++generation_;
  operation_->cancel();
  operation_.reset();
}

Status WebView::navigate(QLURLRequest request, WebViewNavigationType type) {
  auto url = QLURL::parse(request.url());
  std::string scheme = url ? url->scheme() : std::string();
  if (scheme != "http" && scheme != "https")
    return webViewError(kWebViewErrorUnsupportedURL, "Only web pages load here: " + request.url());
  std::string host = lowercase(url->host());
  if (!host_.empty() && host != host_)
    return webViewError(kWebViewErrorAnotherHost, "Navigation to another host refused: " + host);
  if (scheme == "http" && schemeOf(pageURL_) == "https")
    return webViewError(kWebViewErrorAnotherHost, "Navigation from HTTPS down to HTTP refused");
  auto keep = shared_from_this();
  if (auto d = delegate(); d && d->shouldStartLoadWithRequest &&
                           !d->shouldStartLoadWithRequest(*this, request, type))
    return webViewError(kWebViewErrorRefused, "The page's delegate refused the load");

  stopLoading();
  host_ = host;
  request_ = request;
  request.setRedirectsStayOnHost(true);
  request.setMaximumBodySize(std::min<int64_t>(request.maximumBodySize(),
                                               static_cast<int64_t>(HTMLTextExtractor::kMaximumInputSize)));
  if (!request.header("Accept"))
    request.setHeader("Accept", "text/html, application/xhtml+xml;q=0.9, text/plain;q=0.8");
  if (!transport_) transport_ = std::make_shared<QLHTTPTransport>();
  auto serializer = std::make_shared<QLHTTPResponseSerializer>();
  serializer->setAcceptableContentTypes(
      std::set<std::string>{"text/html", "application/xhtml+xml", "text/plain"});
  operation_ = QLHTTPRequestOperation::make(std::move(request), transport_);
  operation_->setResponseSerializer(serializer);
  uint64_t generation = ++generation_;
  std::weak_ptr<View> weak = weak_from_this();
  auto self = [weak] { return std::static_pointer_cast<WebView>(weak.lock()); };
  operation_->setCompletionBlockWithSuccess(
      [self, generation](const QLHTTPRequestOperation::Ptr& op, const Value&) {
        if (auto view = self()) view->didLoad(generation, *op);
      },
      [self, generation](const QLHTTPRequestOperation::Ptr&, const Error& error) {
        if (auto view = self()) view->didFail(generation, error);
      });
  // Told on a later turn, before the outcome, which is posted after it.
  MainQueue::shared().async([self, generation] {
    auto view = self();
    if (!view || view->generation_ != generation) return;
    if (auto d = view->delegate(); d && d->webViewDidStartLoad) d->webViewDidStartLoad(*view);
  });
  operation_->start();
  return Status::Ok();
}

void WebView::didLoad(uint64_t generation, const QLHTTPRequestOperation& operation) {
  if (generation != generation_) return;
  operation_.reset();
  const auto& response = operation.response();
  bool plain = response && response->mimeType() == "text/plain";
  pageURL_ = response ? response->url() : request_->url();
  show(plain ? HTMLTextExtractor::extractPlainText(operation.responseData())
             : HTMLTextExtractor::extract(operation.responseData()));
  if (auto d = delegate(); d && d->webViewDidFinishLoad) d->webViewDidFinishLoad(*this);
}

void WebView::didFail(uint64_t generation, const Error& error) {
  if (generation != generation_) return;
  operation_.reset();
  if (auto d = delegate(); d && d->didFailLoadWithError) d->didFailLoadWithError(*this, error);
}

void WebView::show(HTMLText page) {
  for (auto& v : blockViews_) v->removeFromSuperview();
  blockViews_.clear();
  page_ = std::move(page);
  std::weak_ptr<View> weak = weak_from_this();
  for (const auto& block : page_.blocks) {
    auto view = WebTextBlockView::create(block);
    view->setLinkHandler([weak](const std::string& href) {
      // A refused link simply leads nowhere.
      if (auto self = std::static_pointer_cast<WebView>(weak.lock())) (void)self->openLink(href);
    });
    scrollView_->addSubview(view);
    blockViews_.push_back(std::move(view));
  }
  laidOutWidth_ = -1;
  scrollView_->setContentOffset(Point{0, 0});
  setNeedsLayout();
}

void WebView::layoutSubviews() {
  Rect b = bounds();
  scrollView_->setFrame(Rect(0, 0, b.width(), b.height()));
  if (b.width() == laidOutWidth_) return;
  laidOutWidth_ = b.width();
  double y = kMargin;
  bool first = true;
  for (const auto& view : blockViews_) {
    const auto& block = view->block();
    if (!first) y += block.kind == HTMLTextBlock::Kind::Heading ? kHeadingSpacing : kBlockSpacing;
    first = false;
    double indent = block.kind == HTMLTextBlock::Kind::ListItem ? kListIndent * block.level : 0;
    double width = std::max(1.0, b.width() - 2 * kMargin - indent);
    double height = view->heightForWidth(width);
    view->setFrame(Rect(kMargin + indent, y, width, height));
    y += height;
  }
  scrollView_->setContentSize(Size{b.width(), blockViews_.empty() ? 0 : y + kMargin});
}

}  // namespace vexa
