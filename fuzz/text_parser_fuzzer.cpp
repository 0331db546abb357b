// The emoji-code scanner and the message parser over arbitrary bytes: the
// matches must be ordered, disjoint and bracket-free inside, and both the
// parse result and the rich text made from it must give the input back.
// Building the rich text must cost at most kBytesPerInputByte of heap
// requests per input byte: appending is amortised constant, so a build
// that turns quadratic passes the bound within a few kilobytes of input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/AllocationMeter.h"
#include "vexa/platform/Utf8.h"
#include "vexa/text/EmojiCodeScanner.h"
#include "vexa/text/QLTextImageHelper.h"
#include "vexa/text/VXTextParser.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

constexpr uint64_t kBytesPerInputByte = 2048;
constexpr uint64_t kFixedBytes = 256 << 10;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  std::string text(reinterpret_cast<const char*>(data), size);

  size_t previousEnd = 0;
  for (const auto& m : EmojiCodeScanner::findAll(text)) {
    check(m.location >= previousEnd && m.end() <= text.size() && m.length >= 3);
    check(text[m.location] == '[' && text[m.end() - 1] == ']');
    check(m.code(text).find_first_of("[]") == std::string_view::npos);
    previousEnd = m.end();
  }

  // Every other distinct code is known.
  VXTextParser::Emojis known;
  bool take = true;
  for (const auto& code : VXTextParser::distinctCodes(text)) {
    if (take) {
      auto emoji = std::make_shared<VXEmoji>();
      emoji->setEmojiCode(code);
      known.push_back(emoji);
    }
    take = !take;
  }
  auto elements = VXTextParser::generateTextImageArrayFromVXText(text, known);
  check(VXTextParser::textFromElements(elements) == text);

  if (Utf8::isValid(text)) {
    QLTextEmojiSource source;
    source.fetchLocalSmallEmojisByCodes = [&](const std::vector<std::string>&, QLTextEmojiSource::LocalCompletion done) {
      done(known);
    };
    bool called = false;
    uint64_t cost = 0;
    {
      fuzz::AllocationMeter meter;
      QLTextImageHelper::pureAttributeTextFromText(
          text,
          [&](AttributedString rich) {
            cost = meter.totalBytes();
            called = true;
            check(QLTextImageHelper::pureTextFromAttributeText(rich) == text);
          },
          source);
    }
    check(called);
    check(cost <= kFixedBytes + kBytesPerInputByte * size);
  }
  return 0;
}
