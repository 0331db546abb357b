// Test entry: the main queue belongs to the thread that runs the tests.
#include <gtest/gtest.h>

#include "vexa/platform/MainQueue.h"

// fontconfig (under Pango: labels, the sample catalogue) keeps its font cache
// for the whole process and never frees it; sanitizer builds must not report
// it as ours. Beside main() so that the linker always takes it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv) {
  vexa::MainQueue::shared().adoptCurrentThread();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
