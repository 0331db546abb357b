// Where the message parser and the text helpers find emojis: the lookups by
// code of the download manager and the packages of the store.
//
// A struct of functions, so that a caller (or a test) can hand the text code
// a source of its own; standard() answers from the SDK's singletons. An empty
// member means "not available": a remote parse then fails with
// kQLTextLookupUnavailable, a local lookup finds nothing, and the store
// queries answer as an empty store would. Main thread only, like the store.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vexa/platform/Result.h"
#include "vexa/store/QLEmoji.h"
#include "vexa/store/QLPackage.h"
#include "vexa/store/VXEmoji.h"

namespace vexa {

// Error code (kQLErrorDomain) of a remote lookup that the source cannot make.
inline constexpr int64_t kQLTextLookupUnavailable = 8890;

struct QLTextEmojiSource {
  using Emojis = std::vector<std::shared_ptr<VXEmoji>>;
  using Packages = std::vector<std::shared_ptr<QLPackage>>;
  using RemoteCompletion = std::function<void(Result<Emojis>)>;
  using LocalCompletion = std::function<void(Emojis)>;

  // Resolves distinct codes from the device, then from the service; calls its
  // completion once, with the records found (codes nobody knows have none) or
  // with an error.
  std::function<void(const std::vector<std::string>& codes, RemoteCompletion completion)>
      fetchSmallEmojisByCodes;
  // The same from the device only; calls its completion once with what it found.
  std::function<void(const std::vector<std::string>& codes, LocalCompletion completion)>
      fetchLocalSmallEmojisByCodes;

  // The store's default packages, and all of them (default ones first).
  std::function<Packages()> defaultPackages;
  std::function<Packages()> allPackages;
  // A temporary emoji looked up by code earlier, small before big; nullptr when none.
  std::function<std::shared_ptr<QLEmoji>(const std::string& code)> tempEmojiWithEmojiCode;
  // The public record of an emoji, with its image when the store has it.
  // When empty, the fields are copied and the record has no image.
  std::function<std::shared_ptr<VXEmoji>(const std::shared_ptr<QLEmoji>& emoji)> vxEmojiFromQLEmoji;

  // The source backed by the SDK's own store and download manager.
  static const QLTextEmojiSource& standard();

  // vxEmojiFromQLEmoji, or the plain field copy when it is empty. A null
  // emoji gives a record whose fields are all empty.
  std::shared_ptr<VXEmoji> convert(const std::shared_ptr<QLEmoji>& emoji) const;
};

}  // namespace vexa
