// Turns a received chat message into runs of text and emoji records.
//
// A message carries small emojis as bracketed codes ("[smile]"). A parse
// gives an ordered list whose elements are text pieces and emojis; writing
// each emoji back as "[" + its code + "]" and concatenating the list gives the
// message exactly. Text pieces cut from a message with codes are never empty
// and never merged: a code no one knows stays as its own bracketed piece. A
// message without codes comes back whole, as the only element (even empty).
//
// The parser keeps no state. Its completions run once, on the thread the
// lookup answers on: at once (before the call returns) when nothing has to be
// asked of the service, else on the main queue.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "vexa/platform/Result.h"
#include "vexa/store/VXEmoji.h"
#include "vexa/text/EmojiCodeScanner.h"
#include "vexa/text/QLTextEmojiSource.h"

namespace vexa {

using VXTextElement = std::variant<std::string, std::shared_ptr<VXEmoji>>;
using VXTextElements = std::vector<VXTextElement>;

class VXTextParser {
 public:
  using Emojis = QLTextEmojiSource::Emojis;
  // Exactly one of list and error: a failed lookup gives no partial list.
  using Completion = std::function<void(Result<VXTextElements>)>;
  using LocalCompletion = std::function<void(VXTextElements)>;

  // The code occurrences of the message, in order (byte ranges).
  static std::vector<EmojiCodeMatch> findEmojicodesResultFromVXText(std::string_view text);

  // Parses, asking the service for the codes the device lacks (each distinct
  // code once, in one lookup).
  static void parseVXText(const std::string& text, Completion completion,
                          const QLTextEmojiSource& source = QLTextEmojiSource::standard());
  // Parses with the emojis the device holds; cannot fail.
  static void localParseVXText(const std::string& text, LocalCompletion completion,
                               const QLTextEmojiSource& source = QLTextEmojiSource::standard());

  // The first record whose emojiCode equals the code exactly, or nullptr.
  static std::shared_ptr<VXEmoji> findEmojiWithEmojiCode(std::string_view code,
                                                         const Emojis& emojis);
  // The list built from the message, each code resolved against `emojis`.
  static VXTextElements generateTextImageArrayFromVXText(std::string_view text,
                                                         const Emojis& emojis);

  // The distinct codes of the message, in order of first occurrence.
  static std::vector<std::string> distinctCodes(std::string_view text);
  // The message a list stands for: pieces as they are, emojis as "[code]".
  static std::string textFromElements(const VXTextElements& elements);
};

}  // namespace vexa
