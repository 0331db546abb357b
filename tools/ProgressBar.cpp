#include "ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace vexa::tool {

ProgressBar::ProgressBar(std::ostream& out, std::string label, bool terminal)
    : out_(out), label_(std::move(label)), terminal_(terminal) {}

bool ProgressBar::stderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void ProgressBar::update(double fraction) {
  if (!(fraction >= 0)) fraction = 0;
  fraction = std::min(fraction, 1.0);
  int percent = static_cast<int>(std::floor(fraction * 100));
  if (!terminal_) {
    int tenth = percent / 10;
    if (tenth == lastShown_) return;
    lastShown_ = tenth;
    out_ << label_ << ": " << percent << "%\n" << std::flush;
    return;
  }
  if (percent == lastShown_) return;
  lastShown_ = percent;
  int filled = static_cast<int>(std::floor(fraction * kWidth));
  out_ << "\r" << label_ << " [" << std::string(static_cast<size_t>(filled), '#')
       << std::string(static_cast<size_t>(kWidth - filled), '.') << "] " << percent << "%"
       << std::flush;
  drawn_ = true;
}

void ProgressBar::finish() {
  if (drawn_) out_ << "\n" << std::flush;
  drawn_ = false;
}

}  // namespace vexa::tool
