#include "TouchDriver.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "vexa/platform/MainQueue.h"

namespace vexa::tool::ui {

namespace {
constexpr double kTapDuration = 0.05;
constexpr double kMovesPerSecond = 60;
constexpr auto kSlice = std::chrono::milliseconds(10);
constexpr int kMaxReadyRounds = 1000;

Error cannot(const std::string& why) { return Error("VXUiScriptErrorDomain", 3, why); }

std::string describe(Point p) {
  std::ostringstream s;
  s << p.x << " " << p.y;
  return s.str();
}
}  // namespace

TouchDriver::TouchDriver(Window& window) : window_(window), start_(std::chrono::steady_clock::now()) {}

double TouchDriver::now() {
  double real = 1 + std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  last_ = std::max(real + ahead_, last_ + 1e-3);
  return last_;
}

void TouchDriver::runReadyWork() {
  auto& queue = MainQueue::shared();
  for (int i = 0; i < kMaxReadyRounds && queue.hasReadyTasks(); ++i) queue.drain();
}

void TouchDriver::wait(double seconds) {
  auto& queue = MainQueue::shared();
  using Clock = std::chrono::steady_clock;
  auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  for (;;) {
    Clock::duration left = until - Clock::now();
    if (left <= Clock::duration::zero()) break;
    queue.runFor(std::min<Clock::duration>(left, kSlice));
    if (holding_) window_.touches().advanceTime(now());
  }
  runReadyWork();
}

Status TouchDriver::notHolding() const {
  if (holding_) return cannot("a finger is held down (release it first)");
  return Status::Ok();
}

Status TouchDriver::down(Point p) {
  if (Status free = notHolding(); !free.ok()) return free;
  runReadyWork();
  if (!window_.touches().touchDown(p, now())) return cannot("nothing to touch at " + describe(p));
  return Status::Ok();
}

Status TouchDriver::tap(Point p) {
  if (Status d = down(p); !d.ok()) return d;
  double up = now() + kTapDuration;
  // The lift is ahead of the real clock: so is every later time, or the
  // clock would stand still until real time caught up, and a press held
  // after a few taps would hold less than its seconds.
  ahead_ += kTapDuration;
  last_ = up;
  window_.touches().touchUp(p, up);
  runReadyWork();
  return Status::Ok();
}

Status TouchDriver::press(Point p, double seconds) {
  if (Status held = hold(p, seconds); !held.ok()) return held;
  return release();
}

Status TouchDriver::hold(Point p, double seconds) {
  if (Status d = down(p); !d.ok()) return d;
  holding_ = true;
  heldAt_ = p;
  runReadyWork();
  wait(seconds);
  return Status::Ok();
}

Status TouchDriver::release() {
  if (!holding_) return cannot("no finger is held down");
  holding_ = false;
  window_.touches().touchUp(heldAt_, now());
  runReadyWork();
  return Status::Ok();
}

Status TouchDriver::drag(Point from, Point to, double seconds) {
  if (Status d = down(from); !d.ok()) return d;
  int moves = std::max(2, static_cast<int>(std::ceil(seconds * kMovesPerSecond)));
  holding_ = true;
  for (int i = 1; i <= moves; ++i) {
    wait(seconds / moves);
    double f = static_cast<double>(i) / moves;
    window_.touches().touchMove(Point{from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f}, now());
  }
  holding_ = false;
  window_.touches().touchUp(to, now());
  runReadyWork();
  return Status::Ok();
}

}  // namespace vexa::tool::ui
