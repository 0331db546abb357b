#include "vexa/platform/GlobalQueue.h"

#include <algorithm>
#include <thread>

namespace vexa {

GlobalQueue& GlobalQueue::shared() {
  // Never destroyed: background tasks may still be running during exit.
  static GlobalQueue* queue =
      new GlobalQueue(std::max(4u, std::thread::hardware_concurrency()));
  return *queue;
}

}  // namespace vexa
