#include "vexa/platform/SerialQueue.h"

#include <future>

namespace vexa {

void SerialQueue::sync(const std::function<void()>& task) {
  if (isCurrent()) {
    task();
    return;
  }
  std::promise<void> done;
  async([&] {
    task();
    done.set_value();
  });
  done.get_future().wait();
}

}  // namespace vexa
