// Whether the SDK still has work in flight, read from the SDK's own
// counters: requests and downloads of the download manager, usage reports,
// image downloads of the image views, page views loading in the window,
// background tasks, ready main-queue tasks, and the store's disk writes.
// The settle step waits on it.
#pragma once

#include <string>

namespace vexa {
class View;
}

namespace vexa::tool::ui {

class SdkActivity {
 public:
  // What is still busy ("2 requests, main queue"), or "" when nothing is;
  // page views are looked for in `window`'s tree.
  static std::string busy(View& window);
  // Blocks until the store's queued disk writes are done (they never wait
  // for the main thread).
  static void finishDiskWrites();
};

}  // namespace vexa::tool::ui
