// Download progress on standard error: a bar redrawn in place on a terminal,
// otherwise one plain line per tenth, so that logs stay readable.
#pragma once

#include <ostream>
#include <string>

namespace vexa::tool {

class ProgressBar {
 public:
  static constexpr int kWidth = 30;

  // `label` names what is downloaded; `terminal` chooses the bar.
  ProgressBar(std::ostream& out, std::string label, bool terminal);
  // Whether standard error is a terminal.
  static bool stderrIsTerminal();

  // Shows a fraction from 0 to 1 (clamped).
  void update(double fraction);
  // Ends the bar's line, if one is drawn.
  void finish();

 private:
  std::ostream& out_;
  std::string label_;
  bool terminal_;
  int lastShown_ = -1;  // percent on a terminal, tenths otherwise
  bool drawn_ = false;
};

}  // namespace vexa::tool
