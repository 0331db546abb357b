#include "vexa/store/QLCodeIndex.h"

#include "vexa/store/QLRecordChanges.h"

namespace vexa {

QLCodeIndex::EmojiPtr QLCodeIndex::find(std::string_view code, uint64_t generation,
                                        std::initializer_list<const Packages*> lists) {
  // Both counts only grow, so their sum moves whenever either does.
  const uint64_t now = generation + QLRecordChanges::count();
  if (builtFor_ != now) {
    rebuild(lists);
    builtFor_ = now;
  }
  const Slot& slot = slots_[slotFor(code, std::hash<std::string_view>()(code))];
  return slot.emoji == kEmpty ? nullptr : emojis_[slot.emoji];
}

size_t QLCodeIndex::slotFor(std::string_view code, size_t hash) const {
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i].emoji != kEmpty && !(slots_[i].hash == hash && slots_[i].code == code)) {
    i = (i + 1) & mask;
  }
  return i;
}

void QLCodeIndex::rebuild(std::initializer_list<const Packages*> lists) {
  emojis_.clear();
  size_t count = 0;
  for (const Packages* list : lists) {
    for (const auto& package : *list) count += package ? package->emojis().size() : 0;
  }
  size_t size = 16;
  while (size < 2 * count) size *= 2;
  slots_.assign(size, Slot{});
  for (const Packages* list : lists) {
    for (const auto& package : *list) {
      if (!package) continue;
      package->indexed_ = true;
      for (const auto& emoji : package->emojis()) {
        if (!emoji) continue;
        emoji->indexed_ = true;
        const std::string_view code = emoji->emo_code();
        const size_t hash = std::hash<std::string_view>()(code);
        Slot& slot = slots_[slotFor(code, hash)];
        // The first one keeps the code, as in a scan.
        if (slot.emoji != kEmpty) continue;
        slot = Slot{code, hash, static_cast<uint32_t>(emojis_.size())};
        emojis_.push_back(emoji);
      }
    }
  }
}

QLCodeIndex::EmojiPtr QLCodeIndex::scan(std::string_view code,
                                        std::initializer_list<const Packages*> lists) {
  for (const Packages* list : lists) {
    for (const auto& package : *list) {
      if (!package) continue;
      for (const auto& emoji : package->emojis()) {
        if (emoji && emoji->emo_code() == code) return emoji;
      }
    }
  }
  return nullptr;
}

}  // namespace vexa
