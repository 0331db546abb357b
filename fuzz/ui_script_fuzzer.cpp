// The `vexa ui` script parser over arbitrary bytes: it must answer every
// input with steps or a "line N: ..." error, and every step it accepts must
// carry what its interpreter reads without checking (a target where one is
// needed, the right count of finite numbers, seconds within bounds).
// Links: vexa_uidriver
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/ScriptParser.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa::tool::ui;
  std::string_view script(reinterpret_cast<const char*>(data), size);
  auto parsed = ScriptParser::parseScript(script);
  if (!parsed.ok()) {
    check(parsed.error().description().rfind("line ", 0) == 0);
    return 0;
  }
  int previous = 0;
  for (const ScriptStep& step : *parsed) {
    check(step.line > previous);
    previous = step.line;
    for (double n : step.numbers) check(std::isfinite(n));
    switch (step.kind) {
      case StepKind::Tap:
        check(step.target.has_value() && step.numbers.empty());
        break;
      case StepKind::Press:
      case StepKind::Hold:
        check(step.target.has_value() && step.numbers.size() == 1);
        break;
      case StepKind::Drag:
        check(step.numbers.size() == 5);
        break;
      case StepKind::Wait:
        check(step.numbers.size() == 1);
        break;
      case StepKind::Settle:
        check(step.numbers.size() <= 1);
        break;
      case StepKind::Key:
        check(step.word == "backspace" || step.word == "return");
        break;
      case StepKind::Tips:
        check(step.word == "on" || step.word == "off");
        break;
      case StepKind::Shot:
      case StepKind::Emoji:
        check(!step.word.empty());
        break;
      default:
        break;
    }
    if (step.target && !step.target->point) check(!step.target->text.empty());
    if (step.kind == StepKind::Press || step.kind == StepKind::Hold || step.kind == StepKind::Wait)
      check(step.numbers.back() >= 0 && step.numbers.back() <= ScriptParser::kMaxSeconds);
  }
  return 0;
}
