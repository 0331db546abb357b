// The main screen and the device, settable for tests.
//
// Defaults describe a 375 x 667 point phone at scale 2. Presets match the
// devices the UI is laid out for.
#pragma once

#include <string>

#include "vexa/platform/Geometry.h"

namespace vexa {

enum class UserInterfaceIdiom { Unspecified = -1, Phone = 0, Pad = 1 };

struct Screen {
  Rect bounds{0, 0, 375, 667};
  double scale = 2;
  UserInterfaceIdiom idiom = UserInterfaceIdiom::Phone;

  // The longer of the screen's width and height in points.
  double longSide() const { return std::max(bounds.width(), bounds.height()); }
  // A phone reports the phone idiom or none; everything else is a pad.
  bool isPhone() const {
    return idiom == UserInterfaceIdiom::Phone || idiom == UserInterfaceIdiom::Unspecified;
  }
  // Width of one device pixel in points.
  double hairline() const { return 1.0 / scale; }

  static Screen main();
  static void setMain(const Screen& screen);

  static Screen phone320x568() { return {{0, 0, 320, 568}, 2, UserInterfaceIdiom::Phone}; }
  static Screen phone375x667() { return {{0, 0, 375, 667}, 2, UserInterfaceIdiom::Phone}; }
  static Screen phone414x736() { return {{0, 0, 414, 736}, 3, UserInterfaceIdiom::Phone}; }
  static Screen pad768x1024() { return {{0, 0, 768, 1024}, 2, UserInterfaceIdiom::Pad}; }
};

struct Device {
  std::string systemName = "Linux";
  std::string systemVersion;  // the kernel release unless set
  std::string model = "Linux";

  static Device current();
  static void setCurrent(const Device& device);
};

}  // namespace vexa
