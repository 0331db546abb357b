// Reads the lines of a `vexa ui` script into steps.
//
// One step a line; blank lines and lines whose first word starts with "#"
// are skipped. Words are separated by spaces or tabs; a word starting with
// a double quote is a JSON string (escapes included) that ends at its
// closing quote. A TARGET is two numbers X Y (window points) or a quoted
// string. SECONDS are finite and between 0 and kMaxSeconds. The parser
// checks every step's words; whether a step can be done is the
// interpreter's business. Pure functions: fuzzed on arbitrary bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ScriptStep.h"
#include "vexa/platform/Result.h"

namespace vexa::tool::ui {

class ScriptParser {
 public:
  static constexpr double kMaxSeconds = 3600;

  // The step of one line, none for a blank line or a comment. Errors say
  // why, without the line number (the caller adds it).
  static Result<std::optional<ScriptStep>> parseLine(std::string_view line, int number);
  // Every step of a script; the first bad line's error is "line N: why".
  static Result<std::vector<ScriptStep>> parseScript(std::string_view script);
};

}  // namespace vexa::tool::ui
