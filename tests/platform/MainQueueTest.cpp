#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

#include "vexa/platform/GlobalQueue.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/SerialQueue.h"
#include "vexa/platform/Timer.h"
#include "support/MainQueueTesting.h"

using namespace std::chrono_literals;

namespace vexa {
namespace {

TEST(MainQueueTest, TasksFromManyThreadsRunOnMainInPerThreadOrder) {
  constexpr int kThreads = 8, kPerThread = 500;
  std::map<int, std::vector<int>> seen;  // main thread only
  std::atomic<int> offMain{0};
  int total = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) {
        MainQueue::shared().async([&, t, i] {
          if (!isMainThread()) ++offMain;
          seen[t].push_back(i);
          ++total;
        });
      }
    });
  }
  for (auto& th : threads) th.join();
  ASSERT_TRUE(test::runUntil([&] { return total == kThreads * kPerThread; }));
  EXPECT_EQ(offMain.load(), 0);
  for (auto& [t, order] : seen) {
    ASSERT_EQ(order.size(), static_cast<size_t>(kPerThread));
    for (int i = 0; i < kPerThread; ++i) EXPECT_EQ(order[i], i) << "thread " << t;
  }
}

TEST(MainQueueTest, DelayZeroRunsAfterTasksAlreadyQueued) {
  std::vector<std::string> order;
  MainQueue::shared().asyncAfter(0ms, [&] { order.push_back("delayed"); });
  MainQueue::shared().async([&] { order.push_back("first"); });
  MainQueue::shared().async([&] { order.push_back("second"); });
  ASSERT_TRUE(test::runUntil([&] { return order.size() == 3; }));
  // Posted work queued before the delayed task became due still goes first
  // only when it was posted earlier; here the delayed task was posted first
  // but becomes ready in the same drain, after the ready queue.
  EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "delayed"}));
}

TEST(MainQueueTest, DelayedTasksRunInDeadlineOrderAndNotEarly) {
  std::vector<int> order;
  auto start = MainQueue::Clock::now();
  MainQueue::Clock::time_point ranAt{};
  MainQueue::shared().asyncAfter(60ms, [&] {
    order.push_back(2);
    ranAt = MainQueue::Clock::now();
  });
  MainQueue::shared().asyncAfter(20ms, [&] { order.push_back(1); });
  ASSERT_TRUE(test::runUntil([&] { return order.size() == 2; }));
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_GE(ranAt - start, 60ms);
}

TEST(MainQueueTest, CancelledDelayedTaskNeverRuns) {
  bool ran = false;
  auto id = MainQueue::shared().asyncAfter(10ms, [&] { ran = true; });
  MainQueue::shared().cancel(id);
  test::spin(40ms);
  EXPECT_FALSE(ran);
}

TEST(MainQueueTest, DrainDoesNotRunTasksPostedWhileDraining) {
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    MainQueue::shared().async(again);
  };
  MainQueue::shared().async(again);
  EXPECT_EQ(MainQueue::shared().drain(), 1u);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(MainQueue::shared().drain(), 1u);
  EXPECT_EQ(runs, 2);
  // Stop the chain.
  again = [&] { ++runs; };
  MainQueue::shared().drain();
}

TEST(MainQueueTest, WakeupHookIsCalledFromPostingThread) {
  std::atomic<int> wakes{0};
  MainQueue::shared().setWakeupHook([&] { ++wakes; });
  std::thread([] { MainQueue::shared().async([] {}); }).join();
  MainQueue::shared().setWakeupHook(nullptr);
  EXPECT_GE(wakes.load(), 1);
  EXPECT_TRUE(MainQueue::shared().hasReadyTasks());
  MainQueue::shared().drain();
}

TEST(MainQueueTest, SyncFromBackgroundWaitsForMainAndFromMainRunsInline) {
  bool inline_ran = false;
  MainQueue::shared().sync([&] { inline_ran = true; });
  EXPECT_TRUE(inline_ran);

  std::atomic<bool> done{false};
  bool ranOnMain = false;
  std::thread worker([&] {
    MainQueue::shared().sync([&] { ranOnMain = isMainThread(); });
    done = true;
  });
  ASSERT_TRUE(test::runUntil([&] { return done.load(); }));
  worker.join();
  EXPECT_TRUE(ranOnMain);
}

TEST(MainQueueTest, RunUntilTimesOutWhenPredicateNeverHolds) {
  auto start = MainQueue::Clock::now();
  EXPECT_FALSE(MainQueue::shared().runUntil([] { return false; }, 30ms));
  EXPECT_GE(MainQueue::Clock::now() - start, 30ms);
}

TEST(TimerTest, OneShotFiresOnceOnMain) {
  int fired = 0;
  auto timer = Timer::scheduled(10ms, false, [&](Timer&) {
    EXPECT_TRUE(isMainThread());
    ++fired;
  });
  ASSERT_TRUE(test::runUntil([&] { return fired == 1; }));
  test::spin(40ms);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(timer->isValid());
}

TEST(TimerTest, RepeatingTimerFiresUntilInvalidatedFromItsCallback) {
  int fired = 0;
  auto timer = Timer::scheduled(5ms, true, [&](Timer& t) {
    if (++fired == 3) t.invalidate();
  });
  ASSERT_TRUE(test::runUntil([&] { return fired == 3; }));
  test::spin(40ms);
  EXPECT_EQ(fired, 3);
}

TEST(TimerTest, DestroyedTimerNeverFires) {
  bool fired = false;
  auto timer = Timer::scheduled(5ms, true, [&](Timer&) { fired = true; });
  timer.reset();
  test::spin(40ms);
  EXPECT_FALSE(fired);
}

TEST(TimerTest, CallbackMayDestroyItsOwnTimer) {
  std::unique_ptr<Timer> timer;
  int fired = 0;
  timer = Timer::scheduled(5ms, true, [&](Timer&) {
    ++fired;
    timer.reset();
  });
  ASSERT_TRUE(test::runUntil([&] { return fired == 1; }));
  test::spin(30ms);
  EXPECT_EQ(fired, 1);
}

TEST(TimerTest, FireRunsNowAndKeepsRepeatingSchedule) {
  int fired = 0;
  auto timer = Timer::scheduled(1h, true, [&](Timer&) { ++fired; });
  timer->fire();
  EXPECT_EQ(fired, 1);
  EXPECT_TRUE(timer->isValid());
  auto once = Timer::scheduled(1h, false, [&](Timer&) { ++fired; });
  once->fire();
  once->fire();
  EXPECT_EQ(fired, 2);
  EXPECT_FALSE(once->isValid());
}

TEST(SerialQueueTest, RunsTasksOneAtATimeInOrderOffMain) {
  SerialQueue queue("com.tarvel.vexa.test");
  EXPECT_EQ(queue.label(), "com.tarvel.vexa.test");
  std::vector<int> order;
  std::atomic<int> concurrent{0}, maxConcurrent{0};
  std::atomic<bool> onMain{false};
  for (int i = 0; i < 200; ++i) {
    queue.async([&, i] {
      int now = ++concurrent;
      maxConcurrent = std::max(maxConcurrent.load(), now);
      if (isMainThread()) onMain = true;
      order.push_back(i);
      --concurrent;
    });
  }
  queue.waitIdle();
  EXPECT_EQ(maxConcurrent.load(), 1);
  EXPECT_FALSE(onMain.load());
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(order[i], i);
}

TEST(SerialQueueTest, SyncFromItsOwnTaskDoesNotDeadlock) {
  SerialQueue queue("q");
  int value = 0;
  queue.sync([&] { queue.sync([&] { value = 42; }); });
  EXPECT_EQ(value, 42);
}

TEST(SerialQueueTest, DestructionRunsWhatWasPosted) {
  std::atomic<int> ran{0};
  {
    SerialQueue queue("q");
    for (int i = 0; i < 50; ++i) queue.async([&] { ++ran; });
  }
  EXPECT_EQ(ran.load(), 50);
}

TEST(SerialQueueTest, ATaskMayReleaseTheLastOwnerOfItsQueue) {
  // As when the last reference to a cache goes away inside the cache's own
  // disk task: the worker must neither deadlock nor touch freed memory.
  auto queue = std::make_shared<SerialQueue>("q");
  std::atomic<int> ran{0};
  std::atomic<bool> mainLetGo{false};
  auto owner = queue;
  queue->async([owner = std::move(owner), &ran, &mainLetGo]() mutable {
    while (!mainLetGo.load()) std::this_thread::yield();
    ++ran;
    owner.reset();  // destroys the queue on its own worker
  });
  queue->async([&ran] { ++ran; });
  queue.reset();
  mainLetGo = true;
  EXPECT_TRUE(test::runUntil([&] { return ran.load() == 2; }));
}

TEST(GlobalQueueTest, RunsTasksConcurrentlyOffMain) {
  std::atomic<int> ran{0};
  std::atomic<bool> onMain{false};
  for (int i = 0; i < 100; ++i) {
    GlobalQueue::shared().async([&] {
      if (isMainThread()) onMain = true;
      ++ran;
    });
  }
  GlobalQueue::shared().waitIdle();
  EXPECT_EQ(ran.load(), 100);
  EXPECT_FALSE(onMain.load());
}

TEST(GlobalQueueTest, ResultsHopBackToMain) {
  int result = 0;
  GlobalQueue::shared().async([&] {
    int computed = 6 * 7;
    MainQueue::shared().async([&, computed] { result = computed; });
  });
  ASSERT_TRUE(test::runUntil([&] { return result == 42; }));
}

}  // namespace
}  // namespace vexa
