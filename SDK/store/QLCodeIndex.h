// An index from emoji code to emoji over lists of packages that answers
// exactly what a scan answers: the first emoji, in list, package then
// emoji order, whose emo_code equals the code (null packages and emojis
// skipped).
//
// The index does not watch the lists: its owner passes a generation that
// moves with every change of them, and the index is rebuilt at the first
// lookup after the generation or QLRecordChanges moved; the records it
// holds are marked, so that their later changes count there. Keys view the
// codes inside the indexed emojis, which the index keeps alive; a code
// changes only through a setter that counts a record change, so no key is
// read after its emoji changed. One thread (the owner's).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "vexa/store/QLEmoji.h"
#include "vexa/store/QLPackage.h"

namespace vexa {

class QLCodeIndex {
 public:
  using EmojiPtr = std::shared_ptr<QLEmoji>;
  using Packages = std::vector<std::shared_ptr<QLPackage>>;

  // The first emoji with `code` in `lists`, rebuilding first when
  // `generation` is not the one last built for.
  EmojiPtr find(std::string_view code, uint64_t generation,
                std::initializer_list<const Packages*> lists);

  // The first match by walking the lists, without an index.
  static EmojiPtr scan(std::string_view code, std::initializer_list<const Packages*> lists);

 private:
  void rebuild(std::initializer_list<const Packages*> lists);
  // The slot holding `code`, else the empty slot where it would go.
  size_t slotFor(std::string_view code, size_t hash) const;

  // Open addressing with linear probing: a rebuild allocates nothing once
  // the vectors have grown, which keeps it near the cost of a scan.
  struct Slot {
    std::string_view code;
    size_t hash = 0;
    uint32_t emoji = kEmpty;  // into emojis_
  };
  static constexpr uint32_t kEmpty = UINT32_MAX;
  std::vector<Slot> slots_;  // a power of two, at most half full
  std::vector<EmojiPtr> emojis_;
  // The owner's generation plus the record changes at the last build.
  std::optional<uint64_t> builtFor_;
};

}  // namespace vexa
