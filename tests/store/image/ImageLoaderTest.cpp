#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "ImageTestSupport.h"
#include "support/LoopbackServer.h"
#include "vexa/store/image/loader/QLImageLoadTarget.h"
#include "vexa/store/image/loader/QLImageLoader.h"
#include "support/MainQueueTesting.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

// Holds server handlers until opened (or a safety timeout passes).
class Gate {
 public:
  void open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    cv_.notify_all();
  }
  void wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait_for(lock, std::chrono::seconds(10), [this] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool open_ = false;
};

struct Outcome {
  int calls = 0;
  std::shared_ptr<const Image> image;
  std::optional<Error> error;
  QLImageLoadTarget::Completion record() {
    return [this](const auto& i, const auto& e) {
      ++calls;
      image = i;
      error = e;
    };
  }
};

class ImageLoaderTest : public ::testing::Test {
 protected:
  ImageLoaderTest()
      : cache_(std::make_shared<QL_SDImageCache>("loader", dir_.path())),
        loader_(std::make_shared<QLImageLoader>(cache_)) {
    serve("/delays.gif", "image/gif", test::fixture("delays.gif"));
    serve("/rgb.png", "image/png", test::fixture("rgb.png"));
    serve("/baseline.jpg", "image/jpeg", test::fixture("baseline.jpg"));
    serve("/garbage.png", "image/png", Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'g'});
    serve("/page", "text/html", Bytes{'<', 'p', '>'});
    server_.on("GET", "/gated.png", [this](const httplib::Request&, httplib::Response& res) {
      gate_.wait();
      const Bytes png = test::fixture("rgb.png");
      res.set_content(std::string(test::asText(png)), "image/png");
    });
  }
  // Handlers still held must not outlive the gate.
  ~ImageLoaderTest() override { gate_.open(); }

  void serve(const std::string& path, const std::string& type, Bytes body) {
    server_.on("GET", path, [type, body](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(test::asText(body)), type);
    });
  }
  std::string url(const std::string& path) const { return server_.origin() + path; }
  void waitForDisk() {
    bool done = false;
    cache_->diskImageExistsWithKey("any", [&](bool) { done = true; });
    ASSERT_TRUE(test::runUntil([&] { return done; }));
  }
  bool finished(const Outcome& o) {
    return test::runUntil([&] { return o.calls > 0; });
  }

  test::TempDirectory dir_;
  Gate gate_;
  test::LoopbackServer server_;
  std::shared_ptr<QL_SDImageCache> cache_;
  std::shared_ptr<QLImageLoader> loader_;
};

TEST_F(ImageLoaderTest, DownloadsDecodeAndLandInTheCacheAsServed) {
  QLImageLoadTarget target(loader_);
  Outcome o;
  target.setImageWithURL(url("/delays.gif"), o.record());
  EXPECT_EQ(target.runningURL(), url("/delays.gif"));
  ASSERT_TRUE(finished(o));
  ASSERT_TRUE(o.image) << (o.error ? o.error->toString() : "");
  EXPECT_FALSE(o.error);
  EXPECT_TRUE(o.image->isAnimated());
  EXPECT_FALSE(target.runningURL());
  auto requests = server_.requestsFor("/delays.gif");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].header("Accept"), "image/*");

  EXPECT_EQ(cache_->imageFromMemoryCacheForKey(url("/delays.gif")), o.image);
  waitForDisk();
  auto stored = cache_->diskImageDataBySearchingAllPathsForKey(url("/delays.gif"));
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, test::fixture("delays.gif")) << "the bytes as served, animation and all";
}

TEST_F(ImageLoaderTest, CachedImagesShowAtOnceWithoutFillingMemory) {
  cache_->storeImage(test::solidImage(2, 2, test::kRed), url("/never-served.png"), true);
  cache_->clearMemory();
  waitForDisk();
  QLImageLoadTarget target(loader_);
  Outcome o;
  target.setImageWithURL(url("/never-served.png"), o.record());
  EXPECT_EQ(o.calls, 1) << "answered before returning";
  ASSERT_TRUE(o.image);
  EXPECT_EQ(o.image->bitmap().pixel(1, 1), test::kRed);
  EXPECT_FALSE(cache_->imageFromMemoryCacheForKey(url("/never-served.png")));
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(ImageLoaderTest, SecondLoadOnTheSameTargetWins) {
  QLImageLoadTarget target(loader_);
  Outcome o;
  target.setImageWithURL(url("/gated.png"), o.record());
  target.setImageWithURL(url("/baseline.jpg"), o.record());
  ASSERT_TRUE(finished(o));
  ASSERT_TRUE(o.image);
  EXPECT_EQ(o.image->pixelWidth(), 16) << "the JPEG, not the gated PNG";

  gate_.open();
  ASSERT_TRUE(test::runUntil([&] { return loader_->activeDownloadCount() == 0; }));
  test::spin();
  EXPECT_EQ(o.calls, 1) << "the first result is not shown";
  EXPECT_TRUE(cache_->imageFromMemoryCacheForKey(url("/gated.png"))) << "but it is stored";
}

TEST_F(ImageLoaderTest, ConcurrentLoadsOfOneUrlShareOneDownload) {
  QLImageLoadTarget a(loader_), b(loader_);
  Outcome oa, ob;
  a.setImageWithURL(url("/gated.png"), oa.record());
  b.setImageWithURL(url("/gated.png"), ob.record());
  EXPECT_EQ(loader_->activeDownloadCount(), 1u);
  gate_.open();
  ASSERT_TRUE(test::runUntil([&] { return oa.calls == 1 && ob.calls == 1; }));
  EXPECT_TRUE(oa.image && ob.image);
  EXPECT_EQ(oa.image, ob.image);
  EXPECT_EQ(server_.requestsFor("/gated.png").size(), 1u);
}

TEST_F(ImageLoaderTest, FailedLoadsStoreNothing) {
  for (const char* path : {"/missing.png", "/page", "/garbage.png"}) {
    QLImageLoadTarget target(loader_);
    Outcome o;
    target.setImageWithURL(url(path), o.record());
    ASSERT_TRUE(finished(o)) << path;
    EXPECT_FALSE(o.image) << path;
    EXPECT_TRUE(o.error) << path;
    EXPECT_FALSE(target.runningURL()) << path;
    waitForDisk();
    EXPECT_FALSE(cache_->diskImageExistsWithKey(url(path))) << path;
    EXPECT_FALSE(cache_->imageFromMemoryCacheForKey(url(path))) << path;
  }
  QLImageLoadTarget target(loader_);
  Outcome o;
  target.setImageWithURL("", o.record());
  EXPECT_EQ(o.calls, 1);
  EXPECT_TRUE(o.error);
}

TEST_F(ImageLoaderTest, GoneTargetsAndCancelledLoadsHearNothing) {
  Outcome gone, cancelled;
  auto target = std::make_unique<QLImageLoadTarget>(loader_);
  target->setImageWithURL(url("/gated.png"), gone.record());
  QLImageLoadTarget other(loader_);
  other.setImageWithURL(url("/gated.png"), cancelled.record());
  other.cancelImageLoad();
  EXPECT_FALSE(other.runningURL());
  target.reset();
  gate_.open();
  ASSERT_TRUE(test::runUntil([&] { return loader_->activeDownloadCount() == 0; }));
  test::spin();
  EXPECT_EQ(gone.calls, 0);
  EXPECT_EQ(cancelled.calls, 0);
  EXPECT_TRUE(cache_->imageFromMemoryCacheForKey(url("/gated.png")));
}

TEST_F(ImageLoaderTest, DestroyingTheLoaderMidDownloadIsSafe) {
  Outcome o;
  {
    auto loader = std::make_shared<QLImageLoader>(cache_);
    QLImageLoadTarget target(loader);
    target.setImageWithURL(url("/gated.png"), o.record());
    target.cancelImageLoad();
  }
  gate_.open();
  test::spin(std::chrono::milliseconds(200));
  EXPECT_EQ(o.calls, 0);
}

}  // namespace
}  // namespace vexa
