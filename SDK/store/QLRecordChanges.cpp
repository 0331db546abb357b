#include "vexa/store/QLRecordChanges.h"

#include <atomic>

namespace vexa {

namespace {
std::atomic<uint64_t> changes{0};
}  // namespace

uint64_t QLRecordChanges::count() { return changes.load(std::memory_order_acquire); }

void QLRecordChanges::note() { changes.fetch_add(1, std::memory_order_acq_rel); }

}  // namespace vexa
