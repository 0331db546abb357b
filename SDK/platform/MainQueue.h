// The main queue and its run loop.
//
// Every UI object of the SDK and every completion function it hands to a
// caller runs on the main thread, the thread that drives this queue. Tasks
// may be posted from any thread; they run in the order they were posted.
// Delayed tasks run once their deadline has passed, in deadline order, after
// the tasks already queued at that moment ("after a delay of 0" thus means
// "on the next turn").
//
// The host drives the queue in one of two ways:
//  - it calls drain() or runUntil()/runFor() from its main thread, or
//  - it installs a wake-up hook, called from any thread whenever work becomes
//    pending, and then calls drain() from its own event loop; nextDeadline()
//    tells it when to wake for delayed work.
//
// The main thread is the thread that started the process (captured at static
// initialisation), unless the host calls adoptCurrentThread().
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace vexa {

class MainQueue {
 public:
  using Task = std::function<void()>;
  using Clock = std::chrono::steady_clock;
  using Duration = Clock::duration;
  using TaskId = uint64_t;

  static MainQueue& shared();

  MainQueue(const MainQueue&) = delete;
  MainQueue& operator=(const MainQueue&) = delete;

  // Posts a task from any thread.
  void async(Task task);
  // Posts a task to run once `delay` has passed. The id cancels it.
  TaskId asyncAfter(Duration delay, Task task);
  // Cancels a delayed task that has not started yet. Any thread.
  void cancel(TaskId id);
  // Runs the task on the main thread and waits for it. Called on the main
  // thread it runs the task at once (no deadlock).
  void sync(const Task& task);

  bool isMainThread() const;
  void adoptCurrentThread();

  // Runs every task that is due now, including delayed tasks whose deadline
  // has passed, but not those posted while draining. Main thread only.
  // Returns how many tasks ran.
  size_t drain();
  // Drains repeatedly, sleeping while nothing is due, until the predicate
  // holds (checked after each batch and every few milliseconds, so that it
  // may also depend on other threads) or the timeout passes. Returns the
  // predicate's last answer. Main thread only.
  bool runUntil(const std::function<bool()>& predicate, Duration timeout);
  // Drains for the given time.
  void runFor(Duration duration);

  // Called from any thread whenever a task is posted or cancelled; the hook
  // must only wake the host's loop (it must not call drain itself).
  void setWakeupHook(std::function<void()> hook);
  // When the earliest delayed task becomes due; none when nothing is delayed.
  std::optional<Clock::time_point> nextDeadline() const;
  // Whether any task is ready to run now.
  bool hasReadyTasks() const;

 private:
  MainQueue();
  struct Delayed {
    TaskId id;
    Task task;
  };
  void wake();
  // Moves due delayed tasks to the ready queue. mutex_ held.
  void promoteDueLocked(Clock::time_point now);

  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<Task> ready_;  // GUARDED_BY(mutex_)
  // Ordered by (deadline, id): equal deadlines keep posting order.
  std::map<std::pair<Clock::time_point, TaskId>, Task> delayed_;  // GUARDED_BY(mutex_)
  std::map<TaskId, Clock::time_point> deadlines_;                 // GUARDED_BY(mutex_)
  TaskId nextId_ = 1;                                             // GUARDED_BY(mutex_)
  std::function<void()> wakeupHook_;                              // GUARDED_BY(mutex_)
  std::thread::id mainThread_;                                    // GUARDED_BY(mutex_)
};

// True on the thread that drives the main queue.
inline bool isMainThread() { return MainQueue::shared().isMainThread(); }

}  // namespace vexa

// Debug-build check for objects that belong to the main thread.
#ifdef NDEBUG
#define VX_ASSERT_MAIN_THREAD() ((void)0)
#else
#include <cassert>
#define VX_ASSERT_MAIN_THREAD() assert(::vexa::isMainThread() && "main thread only")
#endif
