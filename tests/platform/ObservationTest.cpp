#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "vexa/platform/CallbackList.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Observable.h"

namespace vexa {
namespace {

TEST(NotificationCenterTest, DeliversToMatchingObserversInOrderOnPostingThread) {
  NotificationCenter center;
  int store = 0, other = 0;
  std::vector<std::string> order;
  std::thread::id deliveredOn;
  auto a = center.addObserver("Add", [&](const Notification& n) {
    order.push_back("a");
    deliveredOn = std::this_thread::get_id();
    EXPECT_EQ(n.name, "Add");
    EXPECT_EQ(*n.userInfo.find("k")->asString(), "v");
  });
  auto b = center.addObserver("Add", [&](const Notification&) { order.push_back("b"); }, &store);
  auto c = center.addObserver("Add", [&](const Notification&) { order.push_back("c"); }, &other);
  auto d = center.addObserver("Remove", [&](const Notification&) { order.push_back("d"); });

  std::thread([&] { center.post("Add", &store, Value::dict({{"k", "v"}})); }).join();
  EXPECT_EQ(order, (std::vector<std::string>{"a", "b"}));
  EXPECT_NE(deliveredOn, std::this_thread::get_id());
}

TEST(NotificationCenterTest, DestroyedTokenStopsDelivery) {
  NotificationCenter center;
  int calls = 0;
  {
    auto token = center.addObserver("N", [&](const Notification&) { ++calls; });
    center.post("N");
    EXPECT_EQ(center.observerCount("N"), 1u);
  }
  center.post("N");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(center.observerCount("N"), 0u);
}

TEST(NotificationCenterTest, ObserverMayRemoveItselfAndOthersWhileBeingCalled) {
  NotificationCenter center;
  Subscription first, second;
  int firstCalls = 0, secondCalls = 0;
  first = center.addObserver("N", [&](const Notification&) {
    ++firstCalls;
    first.reset();
    second.reset();
  });
  second = center.addObserver("N", [&](const Notification&) { ++secondCalls; });
  center.post("N");
  center.post("N");
  EXPECT_EQ(firstCalls, 1);
  EXPECT_EQ(secondCalls, 0) << "a subscription reset during delivery must not be called";
}

TEST(NotificationCenterTest, TokenOutlivingTheCenterIsHarmless) {
  Subscription token;
  {
    NotificationCenter center;
    token = center.addObserver("N", [](const Notification&) {});
  }
  token.reset();
  SUCCEED();
}

TEST(CallbackListTest, NoCallAfterUnsubscribeReturnsWhileAnotherThreadNotifies) {
  // The observer's state dies right after reset(); a late call would touch it.
  CallbackList<int> list;
  std::atomic<bool> stop{false};
  std::thread notifier([&] {
    while (!stop) list.notify(1);
  });
  for (int round = 0; round < 200; ++round) {
    auto alive = std::make_shared<std::atomic<bool>>(true);
    std::atomic<int> lateCalls{0};
    Subscription sub = list.add([alive, &lateCalls](int) {
      if (!*alive) ++lateCalls;
    });
    std::this_thread::yield();
    sub.reset();
    *alive = false;
    std::this_thread::yield();
    EXPECT_EQ(lateCalls.load(), 0);
  }
  stop = true;
  notifier.join();
}

TEST(ObservableTest, ObserversSeeEveryNewValueButNotTheCurrentOne) {
  Observable<double> progress(0.0);
  std::vector<double> seen;
  auto sub = progress.observe([&](const double& v) { seen.push_back(v); });
  progress.set(0.5);
  progress.set(0.5);
  progress.set(1.0);
  EXPECT_EQ(seen, (std::vector<double>{0.5, 0.5, 1.0}));
  EXPECT_EQ(progress.get(), 1.0);
}

TEST(ObservableTest, CopyKeepsValueButNotObservers) {
  Observable<int> a(3);
  int calls = 0;
  auto sub = a.observe([&](const int&) { ++calls; });
  Observable<int> b(a);
  EXPECT_EQ(b.get(), 3);
  EXPECT_EQ(b.observerCount(), 0u);
  b.set(4);
  EXPECT_EQ(calls, 0);
}

TEST(SubscriptionTest, MoveTransfersOwnership) {
  CallbackList<> list;
  int calls = 0;
  Subscription outer;
  {
    Subscription inner = list.add([&] { ++calls; });
    outer = std::move(inner);
    EXPECT_FALSE(inner.active());  // NOLINT(bugprone-use-after-move): checking the moved-from state
  }
  list.notify();
  EXPECT_EQ(calls, 1);
  outer.reset();
  list.notify();
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vexa
