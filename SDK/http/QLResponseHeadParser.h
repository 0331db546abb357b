// Reads the head of an HTTP response line by line, as libcurl hands the
// lines over (status line, header lines, the empty line that ends a head).
// Interim heads (1xx) are recognised so that the caller can wait for the
// real one. Tolerant of what servers send: folded lines join the previous
// header, lines without a colon are skipped, white space is trimmed.
// Not thread-safe; one per transfer.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vexa/http/QLURLResponse.h"

namespace vexa {

class QLResponseHeadParser {
 public:
  enum class Line { StatusLine, Header, EndOfHead, Ignored };

  // Takes one line (its CR LF may be present). A status line starts a new
  // head and forgets the previous one.
  Line feed(std::string_view line);
  // Forgets everything (a new hop of a redirect).
  void reset();

  // The status code of the status line, 0 when it had none readable.
  long statusCode() const { return statusCode_; }
  bool isInterim() const { return statusCode_ >= 100 && statusCode_ < 200; }
  const QLURLResponse::Headers& headers() const { return headers_; }

 private:
  long statusCode_ = 0;
  QLURLResponse::Headers headers_;
};

}  // namespace vexa
