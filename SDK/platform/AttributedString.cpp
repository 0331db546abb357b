#include "vexa/platform/AttributedString.h"

#include <utf8proc.h>

#include <algorithm>

#include "vexa/platform/Utf8.h"

namespace vexa {
namespace {

constexpr utf8proc_int32_t kObjectReplacement = 0xFFFC;

std::string sanitized(std::string_view utf8) {
  if (Utf8::isValid(utf8)) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    size_t n = Utf8::sequenceLength(utf8, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";  // U+FFFD
      ++i;
    } else {
      out.append(utf8.substr(i, n));
      i += n;
    }
  }
  return out;
}

}  // namespace

AttributedString::AttributedString(std::string_view utf8, TextAttributes attributes)
    : text_(sanitized(utf8)) {
  if (!text_.empty()) runs_.push_back({text_.size(), std::move(attributes)});
  segment();
}

AttributedString AttributedString::withAttachment(std::shared_ptr<TextAttachment> attachment,
                                                  TextAttributes attributes) {
  attributes.attachment = std::move(attachment);
  return AttributedString(kAttachmentCharacter, std::move(attributes));
}

void AttributedString::segment(size_t fromCharacter) {
  // Restarting at a character start is exact: no break rule looks back past
  // one (regional indicators pair up from there, joiners sit inside).
  fromCharacter = std::min(fromCharacter, starts_.empty() ? 0 : starts_.size() - 1);
  if (starts_.empty()) starts_.push_back(0);
  const size_t from = starts_[fromCharacter];
  starts_.resize(fromCharacter + 1);
  utf8proc_int32_t state = 0;
  utf8proc_int32_t previous = -1;
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text_.data());
  for (size_t i = from; i < text_.size();) {
    utf8proc_int32_t cp = 0;
    auto n = utf8proc_iterate(bytes + i, static_cast<utf8proc_ssize_t>(text_.size() - i), &cp);
    if (n <= 0) {  // cannot happen on sanitized text; keep going byte by byte
      n = 1;
      cp = 0xFFFD;
    }
    if (previous >= 0) {
      bool boundary;
      if (previous == kObjectReplacement || cp == kObjectReplacement) {
        boundary = true;
        state = 0;
      } else {
        boundary = utf8proc_grapheme_break_stateful(previous, cp, &state);
      }
      if (boundary) starts_.push_back(i);
    }
    previous = cp;
    i += static_cast<size_t>(n);
  }
  if (!text_.empty()) starts_.push_back(text_.size());
}

void AttributedString::normalizeRuns(size_t from, size_t until) {
  // Run ends move up to the next character start (a joined character takes
  // its first part's attributes); runs left empty go, equal neighbours merge.
  // Past `until`, the first run that needs none of this ends the pass: the
  // runs after it were normal before and are untouched.
  size_t write = std::min(from, runs_.size());
  size_t previousEnd = write == 0 ? 0 : runs_[write - 1].end;
  size_t read = write;
  for (; read < runs_.size(); ++read) {
    ByteRun& run = runs_[read];
    const size_t end = run.end <= previousEnd
                           ? run.end
                           : *std::lower_bound(starts_.begin(), starts_.end(),
                                               std::min(run.end, text_.size()));
    const bool dropped = end <= previousEnd;
    const bool merged = !dropped && write > 0 && runs_[write - 1].attributes == run.attributes;
    if (read >= until && !dropped && !merged && end == run.end) break;
    if (dropped) continue;
    if (merged) {
      runs_[write - 1].end = end;
    } else {
      if (write != read) runs_[write] = std::move(run);
      runs_[write].end = end;
      ++write;
    }
    previousEnd = end;
  }
  // Everything from `read` on is unchanged and only moves down.
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(write),
              runs_.begin() + static_cast<std::ptrdiff_t>(read));
}

CharacterRange AttributedString::clamp(CharacterRange range) const {
  size_t location = std::min(range.location, length());
  size_t length = std::min(range.length, this->length() - location);
  return {location, length};
}

size_t AttributedString::byteOffset(size_t index) const {
  return starts_[std::min(index, length())];
}

size_t AttributedString::characterIndexAtByte(size_t offset) const {
  if (offset >= text_.size()) return length();
  auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<size_t>(it - starts_.begin()) - 1;
}

size_t AttributedString::runIndexAtByte(size_t offset) const {
  auto it = std::upper_bound(runs_.begin(), runs_.end(), offset,
                             [](size_t o, const ByteRun& run) { return o < run.end; });
  return static_cast<size_t>(it - runs_.begin());
}

std::string_view AttributedString::substring(CharacterRange range) const {
  range = clamp(range);
  size_t b0 = byteOffset(range.location), b1 = byteOffset(range.end());
  return std::string_view(text_).substr(b0, b1 - b0);
}

AttributedString AttributedString::attributedSubstring(CharacterRange range) const {
  range = clamp(range);
  size_t b0 = byteOffset(range.location), b1 = byteOffset(range.end());
  AttributedString out;
  out.text_ = text_.substr(b0, b1 - b0);
  size_t start = 0;
  for (const auto& run : runs_) {
    size_t from = std::max(start, b0), to = std::min(run.end, b1);
    if (from < to) out.runs_.push_back({to - b0, run.attributes});
    start = run.end;
  }
  out.segment();
  out.normalizeRuns();
  return out;
}

const TextAttributes& AttributedString::attributesAt(size_t index) const {
  static const TextAttributes kNone;
  if (index >= length()) return kNone;
  size_t r = runIndexAtByte(starts_[index]);
  return r < runs_.size() ? runs_[r].attributes : kNone;
}

std::vector<AttributedString::Run> AttributedString::runs() const {
  std::vector<Run> out;
  size_t start = 0;
  for (const auto& run : runs_) {
    size_t first = characterIndexAtByte(start), last = characterIndexAtByte(run.end);
    out.push_back({{first, last - first}, run.attributes});
    start = run.end;
  }
  return out;
}

void AttributedString::forEachAttachment(
    CharacterRange range,
    const std::function<void(size_t, const std::shared_ptr<TextAttachment>&)>& fn) const {
  range = clamp(range);
  size_t start = 0;
  for (const auto& run : runs_) {
    if (run.attributes.attachment) {
      size_t first = std::max(characterIndexAtByte(start), range.location);
      size_t last = std::min(characterIndexAtByte(run.end), range.end());
      for (size_t i = first; i < last; ++i) fn(i, run.attributes.attachment);
    }
    start = run.end;
  }
}

void AttributedString::replaceCharacters(CharacterRange range, const AttributedString& replacement) {
  range = clamp(range);
  const size_t b0 = byteOffset(range.location), b1 = byteOffset(range.end());
  const size_t inserted = replacement.text_.size();
  // Only the runs the edit touches are rebuilt; the rest stay in place (the
  // ones after it move by the change in size), so appending costs what is
  // appended, not what is already there.
  const size_t first = runIndexAtByte(b0);  // first run ending after b0
  const size_t after = runIndexAtByte(b1);  // first run ending after b1
  std::vector<ByteRun> middle;
  middle.reserve(replacement.runs_.size() + 1);
  const size_t firstStart = first == 0 ? 0 : runs_[first - 1].end;
  if (first < runs_.size() && firstStart < b0) middle.push_back({b0, runs_[first].attributes});
  for (const auto& run : replacement.runs_) middle.push_back({run.end + b0, run.attributes});
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first),
              runs_.begin() + static_cast<std::ptrdiff_t>(after));
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(first), middle.begin(), middle.end());
  const size_t tail = first + middle.size();
  for (size_t i = tail; i < runs_.size(); ++i) runs_[i].end = runs_[i].end - b1 + b0 + inserted;
  text_.replace(b0, b1 - b0, replacement.text_);
  // Only the character before the edit can join what was inserted.
  segment(range.location > 0 ? range.location - 1 : 0);
  normalizeRuns(first > 0 ? first - 1 : 0, tail + 1);
}

void AttributedString::replaceCharacters(CharacterRange range, std::string_view utf8) {
  range = clamp(range);
  TextAttributes attributes;
  if (range.length > 0) {
    attributes = attributesAt(range.location);
  } else if (range.location > 0) {
    attributes = attributesAt(range.location - 1);
  }
  attributes.attachment = nullptr;
  replaceCharacters(range, AttributedString(utf8, std::move(attributes)));
}

void AttributedString::modify(CharacterRange range,
                              const std::function<void(TextAttributes&)>& change) {
  range = clamp(range);
  if (range.empty()) return;
  size_t b0 = byteOffset(range.location), b1 = byteOffset(range.end());
  std::vector<ByteRun> runs;
  size_t start = 0;
  for (const auto& run : runs_) {
    if (start < b0) runs.push_back({std::min(run.end, b0), run.attributes});
    size_t from = std::max(start, b0), to = std::min(run.end, b1);
    if (from < to) {
      runs.push_back({to, run.attributes});
      change(runs.back().attributes);
    }
    if (run.end > b1) runs.push_back({run.end, run.attributes});
    start = run.end;
  }
  runs_ = std::move(runs);
  normalizeRuns();
}

void AttributedString::setFont(const std::optional<Font>& font, CharacterRange range) {
  modify(range, [&](TextAttributes& a) { a.font = font; });
}

void AttributedString::setForegroundColor(const std::optional<Color>& color, CharacterRange range) {
  modify(range, [&](TextAttributes& a) { a.foregroundColor = color; });
}

void AttributedString::setAttributes(const TextAttributes& attributes, CharacterRange range) {
  modify(range, [&](TextAttributes& a) { a = attributes; });
}

bool AttributedString::operator==(const AttributedString& other) const {
  if (text_ != other.text_ || runs_.size() != other.runs_.size()) return false;
  for (size_t i = 0; i < runs_.size(); ++i) {
    if (runs_[i].end != other.runs_[i].end || !(runs_[i].attributes == other.runs_[i].attributes)) {
      return false;
    }
  }
  return true;
}

}  // namespace vexa
