// Thread-safe, once-only creation of process-wide objects.
//
//   static Foo& Foo::shared() { return Once<Foo>::instance(); }
//
// The first caller creates the object (other threads wait); every caller
// gets the same object. The object is never destroyed, so it may be used
// while the process exits and from threads that outlive main().
#pragma once

#include <memory>
#include <mutex>

namespace vexa {

template <typename T>
class Once {
 public:
  static T& instance() {
    std::call_once(flag(), [] { slot() = new T(); });
    return *slot();
  }
  // With a factory for objects whose constructor is private.
  template <typename Factory>
  static T& instance(Factory&& make) {
    std::call_once(flag(), [&] { slot() = make(); });
    return *slot();
  }

 private:
  static std::once_flag& flag() {
    static std::once_flag f;
    return f;
  }
  static T*& slot() {
    static T* p = nullptr;
    return p;
  }
};

}  // namespace vexa
