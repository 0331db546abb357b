// Test entry: the main queue belongs to the thread that runs the tests.
#include <gtest/gtest.h>

#include "platform/MainQueue.h"

int main(int argc, char** argv) {
  vexa::MainQueue::shared().adoptCurrentThread();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
