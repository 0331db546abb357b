// Test files that need the reference service (built with the tools) compile
// their tests only where it is built; elsewhere they report one skipped
// test with the reason instead of vanishing from the results:
//   #ifdef VEXA_HAVE_REFERENCE_SERVICE
//   ...tests...
//   #else
//   VX_SKIP_WITHOUT_REFERENCE_SERVICE(DownloadFaultTest)
//   #endif
#pragma once

#include <gtest/gtest.h>

#define VX_SKIP_WITHOUT_REFERENCE_SERVICE(Suite)                                          \
  TEST(Suite, NeedsTheReferenceService) {                                                 \
    GTEST_SKIP() << "needs the reference service, which is built with the tools "         \
                    "(VEXA_BUILD_TOOLS=ON)";                                              \
  }
