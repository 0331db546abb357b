// The smallest real image files, built in memory for tests that need bytes
// every decoder accepts.
#pragma once

#include <string>

namespace vexa::test {

// A valid 2x2 RGBA PNG file.
std::string tinyPng();
// A valid 1x1 GIF file.
std::string tinyGif();

}  // namespace vexa::test
