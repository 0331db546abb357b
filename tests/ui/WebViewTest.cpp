#include <gtest/gtest.h>

#include "support/ReferenceServiceSkip.h"
#include "vexa/http/QLHTTPError.h"
#include "vexa/platform/ui/ScrollView.h"
#include "vexa/platform/ui/WebTextBlockView.h"
#include "vexa/platform/ui/WebView.h"
#include "vexa/platform/ui/Window.h"
#include "support/MainQueueTesting.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE
#include "service/EmoticonService.h"
#endif

namespace vexa {
namespace {

TEST(WebTextBlockView, ATapOnALinkHandsOverItsHref) {
  auto window = Window::create(Rect(0, 0, 320, 100));
  auto block = WebTextBlockView::create({HTMLTextBlock::Kind::Paragraph, 0, "see terms here", {{4, 9, "/t"}}});
  block->setFrame(Rect(0, 0, 300, 40));
  window->addSubview(block);
  std::vector<std::string> opened;
  block->setLinkHandler([&](const std::string& href) { opened.push_back(href); });
  window->touches().tap(Point{50, 10}, 0);  // on "terms"
  window->touches().tap(Point{5, 10}, 1);   // on "see"
  EXPECT_EQ(opened, std::vector<std::string>{"/t"});
}

#ifdef VEXA_HAVE_REFERENCE_SERVICE

class WebViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto started = service::EmoticonService::start(
        {.catalog = std::make_shared<service::Catalog>(service::Catalog::Contents{})});
    ASSERT_TRUE(started.ok()) << started.error().toString();
    service_ = std::move(*started);
    delegate_->webViewDidStartLoad = [this](WebView&) { events_.push_back("start"); };
    delegate_->webViewDidFinishLoad = [this](WebView&) { events_.push_back("finish"); };
    delegate_->didFailLoadWithError = [this](WebView&, const Error& e) {
      events_.push_back("fail");
      error_ = e;
    };
    web_->setDelegate(delegate_);
    window_->addSubview(web_);
  }
  void TearDown() override {
    if (service_) service_->stop();
  }
  bool loaded(size_t events) {
    return test::runUntil([&] { return events_.size() >= events && !web_->isLoading(); });
  }

  std::unique_ptr<service::EmoticonService> service_;
  std::shared_ptr<Window> window_ = Window::create(Rect(0, 0, 320, 200));
  std::shared_ptr<WebView> web_ = WebView::create(Rect(0, 0, 320, 200));
  std::shared_ptr<WebViewDelegate> delegate_ = std::make_shared<WebViewDelegate>();
  std::vector<std::string> events_;
  std::optional<Error> error_;
};

TEST_F(WebViewTest, ShowsTheTermsPageWrappedToItsWidthAndScrollingDown) {
  ASSERT_TRUE(web_->loadRequest(QLURLRequest(service_->termsUrl())).ok());
  ASSERT_TRUE(loaded(2));
  EXPECT_EQ(events_, (std::vector<std::string>{"start", "finish"}));
  EXPECT_EQ(web_->page().title, "服务声明");
  const auto& blocks = web_->blockViews();
  ASSERT_EQ(blocks.size(), 4u);
  EXPECT_EQ(blocks[0]->text(), "服务声明");
  EXPECT_EQ(blocks[0]->block().kind, HTMLTextBlock::Kind::Heading);
  EXPECT_NE(blocks[1]->text().find("本服务为表情开放平台的参考实现"), std::string::npos);
  EXPECT_NE(blocks[3]->text().find("This reference service is for development and testing."),
            std::string::npos);
  web_->layoutIfNeeded();
  for (const auto& b : blocks) EXPECT_LE(b->frame().maxX(), 320 - WebView::kMargin);
  EXPECT_TRUE(web_->scrollView()->canScrollVertically());
  EXPECT_FALSE(web_->scrollView()->canScrollHorizontally());
  double wide = blocks[1]->frame().height();
  web_->setFrame(Rect(0, 0, 160, 200));
  web_->layoutIfNeeded();
  EXPECT_GT(blocks[1]->frame().height(), wide);  // wrapped to the new width
  EXPECT_EQ(web_->scrollView()->contentSize().width, 160);
}

TEST_F(WebViewTest, ReportsTheFailureWithTheServiceDownAndKeepsThePageShown) {
  ASSERT_TRUE(web_->loadRequest(QLURLRequest(service_->termsUrl())).ok());
  ASSERT_TRUE(loaded(2));
  service_->stop();
  ASSERT_TRUE(web_->reload().ok());
  ASSERT_TRUE(loaded(4));
  EXPECT_EQ(events_, (std::vector<std::string>{"start", "finish", "start", "fail"}));
  ASSERT_TRUE(error_);
  EXPECT_EQ(error_->domain(), kQLURLErrorDomain);
  EXPECT_EQ(error_->code(), kQLURLErrorCannotConnectToHost);
  EXPECT_EQ(web_->blockViews().size(), 4u);
}

TEST_F(WebViewTest, KeepsNavigationOnThePagesHost) {
  ASSERT_TRUE(web_->loadRequest(QLURLRequest(service_->termsUrl())).ok());
  ASSERT_TRUE(loaded(2));
  std::string port = std::to_string(service_->port());
  // "localhost" names the same machine, but it is another host name.
  auto other = web_->loadRequest(QLURLRequest("http://localhost:" + port + "/pages/sdk/term.html"));
  ASSERT_FALSE(other.ok());
  EXPECT_EQ(other.error().code(), kWebViewErrorAnotherHost);
  EXPECT_EQ(web_->openLink("//localhost:" + port + "/x").error().code(), kWebViewErrorAnotherHost);
  EXPECT_EQ(web_->openLink("javascript:alert(1)").error().code(), kWebViewErrorUnsupportedURL);
  EXPECT_FALSE(web_->isLoading());
  // A link on the same host loads (and its page is not there: the failure says so).
  ASSERT_TRUE(web_->openLink("missing.html").ok());
  ASSERT_TRUE(loaded(4));
  EXPECT_EQ(events_.back(), "fail");
  EXPECT_EQ(error_->code(), kQLHTTPResponseErrorUnacceptableStatusCode);
  // The delegate has the last word.
  delegate_->shouldStartLoadWithRequest = [](WebView&, const QLURLRequest&, WebViewNavigationType) { return false; };
  EXPECT_EQ(web_->reload().error().code(), kWebViewErrorRefused);
}

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(WebViewTest)
#endif

}  // namespace
}  // namespace vexa
