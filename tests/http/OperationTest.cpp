#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLJSONRequestSerializer.h"
#include "vexa/http/QL_AFHTTPRequestOperationManager.h"
#include "support/LoopbackServer.h"
#include "support/OperationOutcome.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

using test::LoopbackServer;
using test::OperationOutcome;

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

size_t filesIn(const std::filesystem::path& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

class OperationTest : public ::testing::Test {
 protected:
  OperationTest() : manager_(server_.origin() + "/api/v1") {
    manager_.setRequestSerializer(std::make_shared<QLJSONRequestSerializer>());
    manager_.requestSerializer()->setUserAgent("Chat", "2.1");
    manager_.requestSerializer()->setPreferredLanguages({"zh-CN", "en"});
  }
  // A GET through the manager's queue, waited for.
  std::shared_ptr<OperationOutcome> get(const std::string& path, const Value& params = Value()) {
    auto outcome = std::make_shared<OperationOutcome>();
    manager_.GET(path, params, outcome->success(), outcome->failure());
    EXPECT_TRUE(outcome->wait());
    return outcome;
  }
  LoopbackServer server_;
  QL_AFHTTPRequestOperationManager manager_;
  test::TempDirectory dir_;
};

TEST_F(OperationTest, GetCarriesQueryAndDefaultHeaders) {
  server_.on("GET", "/api/v1/things", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("{\"ok\":1}", "application/json; charset=utf-8");
  });
  auto outcome = get("things", Value::dict({{"b", Value::array({1, 2})}, {"a", "x y"}}));
  EXPECT_EQ(outcome->successes, 1);
  EXPECT_EQ(outcome->failures, 0);
  EXPECT_TRUE(outcome->onMainThread);
  EXPECT_EQ(outcome->object, Value::dict({{"ok", 1}}));
  auto seen = server_.requestsFor("/api/v1/things");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].method, "GET");
  EXPECT_EQ(seen[0].query, "a=x%20y&b[]=1&b[]=2");
  EXPECT_EQ(seen[0].header("Accept-Language"), "zh-CN;q=1, en;q=0.9");
  EXPECT_EQ(seen[0].header("User-Agent").substr(0, 10), "Chat/2.1 (");
}

TEST_F(OperationTest, PostSendsJsonBody) {
  server_.on("POST", "/api/v1/usage", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(" ", "application/json");
  });
  auto outcome = std::make_shared<OperationOutcome>();
  manager_.POST("usage", Value::dict({{"codes", Value::array({"a", "b"})}, {"n", 1}}),
                outcome->success(), outcome->failure());
  ASSERT_TRUE(outcome->wait());
  EXPECT_EQ(outcome->successes, 1);
  EXPECT_TRUE(outcome->object.isNull()) << "a single-space body is no object";
  auto seen = server_.requestsFor("/api/v1/usage");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].query, "");
  EXPECT_EQ(seen[0].body, "{\"codes\":[\"a\",\"b\"],\"n\":1}");
  EXPECT_EQ(seen[0].header("Content-Type"), "application/json");
}

TEST_F(OperationTest, UnacceptableAnswersFailWithTheLayersError) {
  server_.on("GET", "/api/v1/html", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<html></html>", "text/html");
  });
  server_.on("GET", "/api/v1/bad", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("{\"a\":", "application/json");
  });
  struct Row {
    const char* path;
    int64_t code;
    const char* description;
  } rows[] = {
      {"missing", kQLHTTPResponseErrorUnacceptableStatusCode, "Request failed: not found (404)"},
      {"html", kQLHTTPResponseErrorUnacceptableContentType,
       "Request failed: unacceptable content-type: text/html"},
      {"bad", kQLHTTPResponseErrorMalformedJSON, nullptr},
  };
  for (const auto& row : rows) {
    auto outcome = get(row.path);
    EXPECT_EQ(outcome->successes, 0) << row.path;
    ASSERT_EQ(outcome->failures, 1) << row.path;
    EXPECT_EQ(outcome->error->domain(), kQLHTTPResponseErrorDomain) << row.path;
    EXPECT_EQ(outcome->error->code(), row.code) << row.path;
    if (row.description) {
      EXPECT_EQ(outcome->error->description(), row.description);
    }
  }
}

TEST_F(OperationTest, StalledServerTimesOut) {
  server_.on("GET", "/api/v1/stall", [this](const httplib::Request&, httplib::Response& res) {
    server_.stall(std::chrono::seconds(20));
    res.set_content("{}", "application/json");
  });
  server_.on("GET", "/api/v1/trickle", [this](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(100, "application/json", [this](size_t, size_t, httplib::DataSink& sink) {
      sink.write("{", 1);
      server_.stall(std::chrono::seconds(20));
      return false;
    });
  });
  manager_.requestSerializer()->setTimeoutInterval(0.3);
  for (const char* path : {"stall", "trickle"}) {
    auto outcome = std::make_shared<OperationOutcome>();
    manager_.GET(path, Value(), outcome->success(), outcome->failure());
    // Far below the server's stall: only the client's limit can end it.
    ASSERT_TRUE(outcome->wait(std::chrono::seconds(5))) << path;
    ASSERT_EQ(outcome->failures, 1) << path;
    EXPECT_EQ(outcome->error->domain(), kQLURLErrorDomain);
    EXPECT_EQ(outcome->error->code(), kQLURLErrorTimedOut) << outcome->error->toString();
  }
}

TEST_F(OperationTest, ConnectionLostMidBodyLeavesNoPartialFile) {
  // Announces 100 bytes, sends 10, closes.
  server_.on("GET", "/files/short.zip", [](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(100, "application/zip", [](size_t, size_t, httplib::DataSink& sink) {
      sink.write("0123456789", 10);
      return false;
    });
  });
  auto target = dir_ / "short.zip";
  { std::ofstream(target) << "previous"; }
  auto request = manager_.requestSerializer()->requestWithMethod(
      "GET", server_.origin() + "/files/short.zip", Value());
  auto op = manager_.HTTPRequestOperationWithRequest(*request, nullptr, nullptr);
  op->setResponseSerializer(std::make_shared<QLHTTPResponseSerializer>());
  op->setOutputFile(target);
  auto outcome = OperationOutcome::attach(op);
  manager_.operationQueue().addOperation(op);
  ASSERT_TRUE(outcome->wait());
  ASSERT_EQ(outcome->failures, 1);
  EXPECT_EQ(outcome->error->code(), kQLURLErrorNetworkConnectionLost) << outcome->error->toString();
  EXPECT_EQ(readFile(target), "previous") << "a failed download must not touch the file";
  EXPECT_EQ(filesIn(dir_.path()), 1u) << "no temporary file may remain";
}

TEST_F(OperationTest, OversizedBodiesEndInAnError) {
  server_.on("GET", "/files/huge", [](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(size_t(1) << 34, "application/zip",
                             [](size_t, size_t, httplib::DataSink& sink) {
                               std::string chunk(4096, 'x');
                               return sink.write(chunk.data(), chunk.size());
                             });
  });
  server_.on("GET", "/files/endless", [](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/zip", [](size_t, httplib::DataSink& sink) {
      std::string chunk(16384, 'x');
      return sink.write(chunk.data(), chunk.size());
    });
  });
  for (const char* path : {"/files/huge", "/files/endless"}) {
    auto request = manager_.requestSerializer()->requestWithMethod("GET", server_.origin() + path, Value());
    request->setMaximumBodySize(256 * 1024);
    auto op = manager_.HTTPRequestOperationWithRequest(*request, nullptr, nullptr);
    op->setResponseSerializer(std::make_shared<QLHTTPResponseSerializer>());
    op->setOutputFile(dir_ / "big");
    auto outcome = OperationOutcome::attach(op);
    op->start();
    ASSERT_TRUE(outcome->wait()) << path;
    ASSERT_EQ(outcome->failures, 1) << path;
    EXPECT_EQ(outcome->error->code(), kQLURLErrorDataLengthExceedsMaximum) << outcome->error->toString();
    EXPECT_EQ(filesIn(dir_.path()), 0u) << path;
  }
}

TEST_F(OperationTest, StreamsToFileWithProgressPerChunk) {
  std::string payload;
  for (int i = 0; i < 300000; ++i) payload.push_back(static_cast<char>('a' + i % 26));
  server_.on("GET", "/files/pkg.zip", [&payload](const httplib::Request&, httplib::Response& res) {
    res.set_content(payload, "application/zip");
  });
  auto target = dir_ / "pkg.zip";
  auto request = manager_.requestSerializer()->requestWithMethod("GET", server_.origin() + "/files/pkg.zip", Value());
  auto op = manager_.HTTPRequestOperationWithRequest(*request, nullptr, nullptr);
  op->setResponseSerializer(std::make_shared<QLHTTPResponseSerializer>());
  op->setOutputFile(target);
  auto outcome = OperationOutcome::attach(op);
  int64_t sum = 0, lastTotal = 0;
  bool expectedAlways = true, monotonic = true;
  op->setDownloadProgressBlock([&, outcome](size_t chunk, int64_t total, int64_t expected) {
    sum += static_cast<int64_t>(chunk);
    monotonic = monotonic && total == lastTotal + static_cast<int64_t>(chunk);
    lastTotal = total;
    expectedAlways = expectedAlways && expected == 300000;
    outcome->events.push_back("progress");
  });
  manager_.operationQueue().addOperation(op);
  ASSERT_TRUE(outcome->wait());
  ASSERT_EQ(outcome->successes, 1) << (outcome->error ? outcome->error->toString() : "");
  EXPECT_TRUE(outcome->object.isNull());
  EXPECT_EQ(readFile(target), payload);
  EXPECT_EQ(sum, 300000);
  EXPECT_TRUE(monotonic);
  EXPECT_TRUE(expectedAlways);
  EXPECT_GT(outcome->events.size(), 2u);
  EXPECT_EQ(outcome->events.back(), "success") << "progress comes before the outcome";
  EXPECT_EQ(filesIn(dir_.path()), 1u);
}

TEST_F(OperationTest, CancellationReportsOnceAndSendsNothingMore) {
  server_.on("GET", "/api/v1/stall", [this](const httplib::Request&, httplib::Response& res) {
    server_.stall(std::chrono::seconds(20));
    res.set_content("{}", "application/json");
  });
  auto running = std::make_shared<OperationOutcome>();
  auto op = manager_.GET("stall", Value(), running->success(), running->failure());
  ASSERT_TRUE(test::runUntil([&] { return server_.requestCount() == 1; }));
  op->cancel();
  ASSERT_TRUE(running->wait());
  EXPECT_EQ(running->failures, 1);
  EXPECT_EQ(running->error->code(), kQLURLErrorCancelled);
  EXPECT_TRUE(op->isFinished());

  auto early = std::make_shared<OperationOutcome>();
  auto prepared = manager_.HTTPRequestOperationWithHTTPMethod("GET", "stall", Value(), early->success(),
                                                              early->failure());
  prepared->cancel();
  manager_.operationQueue().addOperation(prepared);
  ASSERT_TRUE(early->wait());
  EXPECT_EQ(early->failures, 1);
  EXPECT_EQ(early->error->code(), kQLURLErrorCancelled);
  EXPECT_EQ(server_.requestCount(), 1u) << "a cancelled operation sends nothing";
  prepared->start();
  test::spin();
  EXPECT_EQ(early->calls(), 1) << "start after the outcome does nothing";
}

TEST_F(OperationTest, QueueBoundsConcurrencyAndEveryOperationCompletesOnce) {
  std::atomic<int> inFlight{0}, maxInFlight{0};
  server_.on("GET", "/api/v1/slow", [&](const httplib::Request&, httplib::Response& res) {
    int now = ++inFlight;
    int seen = maxInFlight.load();
    while (now > seen && !maxInFlight.compare_exchange_weak(seen, now)) {}
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    --inFlight;
    res.set_content("{\"n\":1}", "application/json");
  });
  EXPECT_EQ(manager_.operationQueue().maxConcurrentOperationCount(), 4u);
  std::vector<std::shared_ptr<OperationOutcome>> outcomes;
  std::vector<QLHTTPRequestOperation::Ptr> ops;
  for (int i = 0; i < 12; ++i) {
    auto outcome = std::make_shared<OperationOutcome>();
    ops.push_back(manager_.HTTPRequestOperationWithHTTPMethod("GET", "slow", Value(),
                                                              outcome->success(), outcome->failure()));
    outcomes.push_back(outcome);
  }
  size_t progressCalls = 0;
  bool batchSawAllOutcomes = false;
  int batchCompletions = 0;
  manager_.operationQueue().addBatch(
      ops, [&](size_t, size_t) { ++progressCalls; },
      [&](const std::vector<QLHTTPRequestOperation::Ptr>& finished) {
        ++batchCompletions;
        batchSawAllOutcomes = finished.size() == 12;
        for (auto& o : outcomes) batchSawAllOutcomes = batchSawAllOutcomes && o->calls() == 1;
      });
  ASSERT_TRUE(test::runUntil([&] { return batchCompletions == 1; }));
  test::spin(std::chrono::milliseconds(50));
  for (auto& o : outcomes) {
    EXPECT_EQ(o->successes, 1);
    EXPECT_EQ(o->failures, 0);
    EXPECT_TRUE(o->onMainThread);
  }
  EXPECT_EQ(batchCompletions, 1);
  EXPECT_TRUE(batchSawAllOutcomes) << "the batch completes after every operation's own function";
  EXPECT_EQ(progressCalls, 12u);
  EXPECT_LE(maxInFlight.load(), 4);
  EXPECT_GE(maxInFlight.load(), 2);
  EXPECT_EQ(manager_.operationQueue().operationCount(), 0u);
}

TEST_F(OperationTest, ConnectionsAreReused) {
  server_.on("GET", "/api/v1/ping", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("{}", "application/json");
  });
  for (int i = 0; i < 3; ++i) EXPECT_EQ(get("ping")->successes, 1);
  auto seen = server_.requestsFor("/api/v1/ping");
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].remotePort, seen[1].remotePort);
  EXPECT_EQ(seen[1].remotePort, seen[2].remotePort);
}

TEST_F(OperationTest, RequestsThatCannotBeBuiltFailThroughTheSamePath) {
  QL_AFHTTPRequestOperationManager noBase;
  auto outcome = std::make_shared<OperationOutcome>();
  noBase.GET("token", Value(), outcome->success(), outcome->failure());
  EXPECT_EQ(outcome->calls(), 0) << "never before the call returns";
  ASSERT_TRUE(outcome->wait());
  EXPECT_EQ(outcome->failures, 1);
  EXPECT_EQ(outcome->error->domain(), kQLHTTPRequestErrorDomain);

  auto refused = std::make_shared<OperationOutcome>();
  manager_.GET("http://127.0.0.1:1/", Value(), refused->success(), refused->failure());
  ASSERT_TRUE(refused->wait());
  ASSERT_EQ(refused->failures, 1);
  EXPECT_EQ(refused->error->code(), kQLURLErrorCannotConnectToHost);
}

}  // namespace
}  // namespace vexa
