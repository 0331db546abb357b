// Counts the heap bytes a piece of work asks for, through the sanitizer
// runtime's allocation hooks (every fuzz target runs under ASan), so that a
// target can hold a parser to a memory budget or a cost per input byte.
//
//   AllocationMeter meter;      // counting from here
//   ...work...
//   meter.peakBytes()           // most bytes live at once, above the start
//   meter.totalBytes()          // every byte asked for
//
// One meter at a time; the work may use other threads.
#pragma once

#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace vexa::fuzz {

class AllocationMeter {
 public:
  AllocationMeter() {
    static const bool installed =
        __sanitizer_install_malloc_and_free_hooks(&AllocationMeter::onMalloc, &AllocationMeter::onFree) != 0;
    (void)installed;
    live() = 0;
    peak() = 0;
    total() = 0;
    on() = true;
  }
  ~AllocationMeter() { on() = false; }
  AllocationMeter(const AllocationMeter&) = delete;
  AllocationMeter& operator=(const AllocationMeter&) = delete;

  uint64_t peakBytes() const { return static_cast<uint64_t>(std::max<int64_t>(0, peak().load())); }
  uint64_t totalBytes() const { return total().load(); }

 private:
  static std::atomic<bool>& on() {
    static std::atomic<bool> value{false};
    return value;
  }
  static std::atomic<int64_t>& live() {
    static std::atomic<int64_t> value{0};
    return value;
  }
  static std::atomic<int64_t>& peak() {
    static std::atomic<int64_t> value{0};
    return value;
  }
  static std::atomic<uint64_t>& total() {
    static std::atomic<uint64_t> value{0};
    return value;
  }
  static void onMalloc(const volatile void*, size_t size) {
    if (!on()) return;
    total() += size;
    const int64_t now = live() += static_cast<int64_t>(size);
    int64_t seen = peak().load();
    while (now > seen && !peak().compare_exchange_weak(seen, now)) {
    }
  }
  static void onFree(const volatile void* pointer) {
    if (!on() || pointer == nullptr) return;
    live() -= static_cast<int64_t>(__sanitizer_get_allocated_size(const_cast<const void*>(pointer)));
  }
};

}  // namespace vexa::fuzz
