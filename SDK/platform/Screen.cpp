#include "vexa/platform/Screen.h"

#include <sys/utsname.h>

#include <mutex>

namespace vexa {
namespace {

std::mutex& mutex() {
  static std::mutex m;
  return m;
}

Screen& mainScreen() {
  static Screen s;
  return s;
}

Device& currentDevice() {
  static Device d = [] {
    Device dev;
    struct utsname u {};
    dev.systemVersion = ::uname(&u) == 0 ? u.release : "0";
    dev.model = ::uname(&u) == 0 ? u.machine : "Linux";
    return dev;
  }();
  return d;
}

}  // namespace

Screen Screen::main() {
  std::lock_guard<std::mutex> lock(mutex());
  return mainScreen();
}

void Screen::setMain(const Screen& screen) {
  std::lock_guard<std::mutex> lock(mutex());
  mainScreen() = screen;
}

Device Device::current() {
  std::lock_guard<std::mutex> lock(mutex());
  return currentDevice();
}

void Device::setCurrent(const Device& device) {
  std::lock_guard<std::mutex> lock(mutex());
  currentDevice() = device;
}

}  // namespace vexa
