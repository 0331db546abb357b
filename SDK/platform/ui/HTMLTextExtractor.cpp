#include "vexa/platform/ui/HTMLTextExtractor.h"

#include <glib.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "vexa/platform/ui/HTMLCharacterReference.h"

namespace vexa {

namespace {

constexpr size_t kNpos = std::string::npos;
// Longer tag and reference names match nothing anyway.
constexpr size_t kMaximumNameLength = 32;
constexpr size_t kMaximumTitleSize = 1024;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlnum(char c) { return isAlpha(c) || isDigit(c); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Elements whose content is raw text that a page never shows.
bool isRawHidden(std::string_view n) {
  return oneOf(n, {"script", "style", "xmp", "iframe", "noembed", "noframes", "textarea"});
}

// Elements that end the block of text before them.
bool isBlock(std::string_view n) {
  return oneOf(n, {"address", "article", "aside", "blockquote", "body", "caption", "center",
                   "dd", "details", "dialog", "div", "dl", "dt", "fieldset", "figcaption",
                   "figure", "footer", "form", "header", "hgroup", "hr", "html", "legend",
                   "main", "nav", "p", "section", "summary", "table", "tbody", "tfoot", "thead",
                   "tr"});
}

bool isList(std::string_view n) { return oneOf(n, {"ul", "ol", "menu", "dir"}); }
bool isPre(std::string_view n) { return oneOf(n, {"pre", "listing"}); }

int headingLevel(std::string_view n) {
  if (n.size() == 2 && n[0] == 'h' && n[1] >= '1' && n[1] <= '6') return n[1] - '0';
  return 0;
}

// Names that browsers also read without the closing ";".
constexpr std::string_view kLegacyNames[] = {"amp", "lt", "gt", "quot", "nbsp", "copy", "reg",
                                             "AMP", "LT", "GT", "QUOT", "COPY", "REG"};

// Decodes the reference at s[i] == '&' into `c`; returns the bytes it
// takes, 0 when there is none.
size_t readReference(std::string_view s, size_t i, bool inAttribute, char32_t& c) {
  size_t j = i + 1;
  if (j < s.size() && s[j] == '#') {
    ++j;
    bool hex = j < s.size() && (s[j] == 'x' || s[j] == 'X');
    if (hex) ++j;
    size_t start = j;
    uint64_t value = 0;
    for (; j < s.size(); ++j) {
      char d = s[j];
      int digit = isDigit(d) ? d - '0'
                  : hex && lower(d) >= 'a' && lower(d) <= 'f' ? lower(d) - 'a' + 10
                                                              : -1;
      if (digit < 0) break;
      value = std::min<uint64_t>(value * (hex ? 16 : 10) + static_cast<uint64_t>(digit), 0x110000);
    }
    if (j == start) return 0;
    if (j < s.size() && s[j] == ';') ++j;
    c = HTMLCharacterReference::numeric(value);
    return j - i;
  }
  size_t end = j;
  while (end < s.size() && end - j <= kMaximumNameLength && isAlnum(s[end])) ++end;
  std::string_view name = s.substr(j, end - j);
  if (name.empty()) return 0;
  if (end < s.size() && s[end] == ';') {
    if (auto found = HTMLCharacterReference::named(name)) {
      c = *found;
      return end + 1 - i;
    }
  }
  // Without ";" only the old names count, as the longest prefix.
  std::string_view best;
  for (auto legacy : kLegacyNames)
    if (name.starts_with(legacy) && legacy.size() > best.size()) best = legacy;
  if (best.empty()) return 0;
  size_t after = j + best.size();
  if (inAttribute && after < s.size() && (isAlnum(s[after]) || s[after] == '=')) return 0;
  c = *HTMLCharacterReference::named(best);
  return after - i;
}

std::string decodeAttribute(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size();) {
    char32_t c = 0;
    size_t taken = value[i] == '&' ? readReference(value, i, true, c) : 0;
    if (taken) {
      HTMLCharacterReference::appendUTF8(out, c);
      i += taken;
    } else {
      out += value[i++];
    }
  }
  return out;
}

class Extraction {
 public:
  explicit Extraction(std::string_view in) : in_(in) {}

  HTMLText run() {
    while (pos_ < in_.size() && !full_) {
      char c = in_[pos_];
      if (c == '<') {
        markup();
      } else if (c == '&') {
        char32_t decoded = 0;
        size_t taken = readReference(in_, pos_, false, decoded);
        if (taken) {
          character(decoded);
          pos_ += taken;
        } else {
          byte('&');
          ++pos_;
        }
      } else {
        byte(c);
        ++pos_;
      }
    }
    endBlock();
    return std::move(out_);
  }

 private:
  // --- Tokens

  void markup() {
    size_t p = pos_ + 1;
    if (p >= in_.size()) return literalLessThan();
    char c = in_[p];
    if (c == '!') {
      if (in_.substr(p, 3) == "!--") {
        size_t end = in_.find("-->", p + 1);
        pos_ = end == kNpos ? in_.size() : end + 3;
      } else {
        skipPast('>', p);
      }
      return;
    }
    if (c == '?') return skipPast('>', p);
    if (c == '/') {
      if (p + 1 < in_.size() && isAlpha(in_[p + 1])) {
        size_t q = p + 1;
        std::string name = readName(q);
        size_t after = skipAttributes(q, nullptr);
        pos_ = after == kNpos ? in_.size() : after;
        if (after != kNpos) endTag(name);
        return;
      }
      return skipPast('>', p);
    }
    if (!isAlpha(c)) return literalLessThan();
    size_t q = p;
    std::string name = readName(q);
    std::optional<std::string> href;
    size_t after = skipAttributes(q, name == "a" ? &href : nullptr);
    if (after == kNpos) {  // a tag cut off by the end is dropped
      pos_ = in_.size();
      return;
    }
    pos_ = after;
    startTag(name, href);
  }

  void literalLessThan() {
    byte('<');
    ++pos_;
  }

  void skipPast(char c, size_t from) {
    size_t end = in_.find(c, from);
    pos_ = end == kNpos ? in_.size() : end + 1;
  }

  // Lower case; empty when too long to be any known name.
  std::string readName(size_t& i) {
    std::string name;
    size_t start = i;
    while (i < in_.size() && !isSpace(in_[i]) && in_[i] != '/' && in_[i] != '>') {
      if (i - start < kMaximumNameLength) name += lower(in_[i]);
      ++i;
    }
    return i - start > kMaximumNameLength ? std::string() : name;
  }

  // Reads the attributes from i; returns the position after ">", or kNpos
  // at the end of the input. Keeps the first href when asked.
  size_t skipAttributes(size_t i, std::optional<std::string>* href) {
    const size_t n = in_.size();
    for (;;) {
      while (i < n && (isSpace(in_[i]) || in_[i] == '/')) ++i;
      if (i >= n) return kNpos;
      if (in_[i] == '>') return i + 1;
      size_t nameStart = i++;  // a first "=" belongs to the name
      while (i < n && !isSpace(in_[i]) && in_[i] != '/' && in_[i] != '>' && in_[i] != '=') ++i;
      std::string_view name = in_.substr(nameStart, i - nameStart);
      while (i < n && isSpace(in_[i])) ++i;
      if (i >= n || in_[i] != '=') continue;
      ++i;
      while (i < n && isSpace(in_[i])) ++i;
      if (i >= n) return kNpos;
      std::string_view value;
      if (in_[i] == '"' || in_[i] == '\'') {
        size_t close = in_.find(in_[i], i + 1);
        if (close == kNpos) return kNpos;
        value = in_.substr(i + 1, close - i - 1);
        i = close + 1;
      } else {
        size_t start = i;
        while (i < n && !isSpace(in_[i]) && in_[i] != '>') ++i;
        value = in_.substr(start, i - start);
      }
      if (href && !*href && name.size() == 4 && lower(name[0]) == 'h' && lower(name[1]) == 'r' &&
          lower(name[2]) == 'e' && lower(name[3]) == 'f')
        *href = decodeAttribute(value);
    }
  }

  // The position of "</name" ending raw text, or the end of the input.
  size_t findEndTag(std::string_view name, size_t from) const {
    for (size_t i = in_.find("</", from); i != kNpos; i = in_.find("</", i + 2)) {
      size_t j = i + 2;
      size_t k = 0;
      while (k < name.size() && j + k < in_.size() && lower(in_[j + k]) == name[k]) ++k;
      if (k < name.size()) continue;
      size_t after = j + k;
      if (after >= in_.size() || isSpace(in_[after]) || in_[after] == '/' || in_[after] == '>')
        return i;
    }
    return in_.size();
  }

  void startTag(const std::string& name, const std::optional<std::string>& href) {
    if (name == "template") {
      ++hidden_;
      return;
    }
    if (hidden_ > 0) return;
    if (isRawHidden(name)) {
      pos_ = findEndTag(name, pos_);
      return;
    }
    if (name == "title") return readTitle();
    if (name == "a") {
      closeLink();
      link_ = href;
      return;
    }
    if (name == "br") return lineBreak();
    if (name == "td" || name == "th") {
      pendingSpace_ = true;
      return;
    }
    if (int level = headingLevel(name)) return beginBlock(HTMLTextBlock::Kind::Heading, level, {});
    if (name == "li") return beginListItem();
    if (isList(name)) {
      endBlock();
      if (lists_.size() < static_cast<size_t>(HTMLTextExtractor::kMaximumListDepth))
        lists_.push_back({name == "ol", 1});
      else
        ++deepLists_;
      return;
    }
    if (isPre(name)) {
      beginBlock(HTMLTextBlock::Kind::Preformatted, 0, {});
      ++pre_;
      // A newline right after <pre> is not part of its text.
      if (pos_ < in_.size() && in_[pos_] == '\n') ++pos_;
      else if (in_.substr(pos_, 2) == "\r\n") pos_ += 2;
      return;
    }
    if (isBlock(name)) beginBlock(HTMLTextBlock::Kind::Paragraph, 0, {});
  }

  void endTag(const std::string& name) {
    if (name == "template") {
      if (hidden_ > 0) --hidden_;
      return;
    }
    if (hidden_ > 0) return;
    if (name == "a") return closeLink();
    if (name == "br") return lineBreak();
    if (isList(name)) {
      endBlock();
      if (deepLists_ > 0) --deepLists_;
      else if (!lists_.empty()) lists_.pop_back();
      return;
    }
    if (isPre(name)) {
      endBlock();
      if (pre_ > 0) --pre_;
      return;
    }
    if (headingLevel(name) || name == "li" || isBlock(name)) endBlock();
  }

  void readTitle() {
    size_t end = findEndTag("title", pos_);
    std::string_view raw = in_.substr(pos_, end - pos_);
    pos_ = end;
    if (!out_.title.empty()) return;
    std::string decoded = decodeAttribute(raw);
    bool space = false;
    for (char c : decoded) {
      if (isSpace(c)) {
        space = !out_.title.empty();
        continue;
      }
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) continue;
      if (out_.title.size() + (space ? 2 : 1) > kMaximumTitleSize) break;
      if (space) out_.title += ' ';
      space = false;
      out_.title += c;
    }
    // The size limit may have split a character.
    const char* validEnd = nullptr;
    if (!g_utf8_validate(out_.title.data(), static_cast<gssize>(out_.title.size()), &validEnd))
      out_.title.resize(static_cast<size_t>(validEnd - out_.title.data()));
  }

  // --- Text

  void byte(char c) {
    if (hidden_ > 0) return;
    if (isSpace(c)) return whiteSpace(c);
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return;  // controls show nothing
    visible(std::string_view(&c, 1));
  }

  void character(char32_t c) {
    if (c < 0x80) return byte(static_cast<char>(c));
    if (hidden_ > 0) return;
    std::string bytes;
    HTMLCharacterReference::appendUTF8(bytes, c);
    visible(bytes);
  }

  void whiteSpace(char c) {
    if (pre_ == 0) {
      pendingSpace_ = true;
      return;
    }
    if (c == '\r') {
      if (pos_ + 1 < in_.size() && in_[pos_ + 1] == '\n') return;  // the "\n" follows
      c = '\n';
    }
    visible(std::string_view(&c, 1));
  }

  void lineBreak() {
    if (hidden_ > 0) return;
    pendingSpace_ = false;
    if (block_.text.empty() && pre_ == 0) return;
    block_.text += '\n';
  }

  void visible(std::string_view bytes) {
    if (block_.text.empty() && !marker_.empty()) block_.text = std::move(marker_);
    marker_.clear();
    if (pendingSpace_ && !block_.text.empty() && block_.text.back() != '\n' &&
        block_.text.back() != ' ')
      block_.text += ' ';
    pendingSpace_ = false;
    if (link_ && linkStart_ == kNpos) linkStart_ = block_.text.size();
    block_.text.append(bytes);
  }

  void closeLink() {
    if (link_ && linkStart_ != kNpos && block_.text.size() > linkStart_)
      block_.links.push_back({linkStart_, block_.text.size(), *link_});
    link_.reset();
    linkStart_ = kNpos;
  }

  // --- Blocks

  void beginBlock(HTMLTextBlock::Kind kind, int level, std::string marker) {
    // "<li><p>text" keeps the list item.
    bool keepItem = block_.text.empty() && block_.kind == HTMLTextBlock::Kind::ListItem &&
                    kind == HTMLTextBlock::Kind::Paragraph;
    if (keepItem) return;
    endBlock();
    block_.kind = kind;
    block_.level = level;
    marker_ = std::move(marker);
  }

  void beginListItem() {
    int depth = std::max<int>(1, static_cast<int>(lists_.size()) + deepLists_);
    depth = std::min(depth, HTMLTextExtractor::kMaximumListDepth);
    std::string marker = "\u2022 ";
    if (!lists_.empty() && deepLists_ == 0 && lists_.back().ordered)
      marker = std::to_string(lists_.back().next++) + ". ";
    beginBlock(HTMLTextBlock::Kind::ListItem, depth, std::move(marker));
  }

  void endBlock() {
    std::optional<std::string> openLink = link_;
    closeLink();
    link_ = std::move(openLink);  // a link may go on in the next block
    auto& text = block_.text;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
    for (auto& l : block_.links) l.end = std::min(l.end, text.size());
    std::erase_if(block_.links, [](const HTMLLink& l) { return l.start >= l.end; });
    if (!text.empty()) {
      if (out_.blocks.size() >= HTMLTextExtractor::kMaximumBlocks) {
        out_.truncated = true;
        full_ = true;
      } else {
        out_.blocks.push_back(std::move(block_));
      }
    }
    block_ = HTMLTextBlock();
    if (pre_ > 0) block_.kind = HTMLTextBlock::Kind::Preformatted;
    marker_.clear();
    pendingSpace_ = false;
  }

  struct List {
    bool ordered;
    int next;
  };

  std::string_view in_;
  size_t pos_ = 0;
  HTMLText out_;
  HTMLTextBlock block_;
  std::string marker_;  // a list item's bullet, written before its first character
  bool pendingSpace_ = false;
  bool full_ = false;
  int pre_ = 0;
  int hidden_ = 0;
  std::vector<List> lists_;
  int deepLists_ = 0;
  std::optional<std::string> link_;
  size_t linkStart_ = kNpos;
};

// The input cut to the limit, as valid UTF-8 without NUL bytes.
std::string prepare(std::string_view input, bool& truncated) {
  truncated = input.size() > HTMLTextExtractor::kMaximumInputSize;
  if (truncated) input = input.substr(0, HTMLTextExtractor::kMaximumInputSize);
  gchar* valid = g_utf8_make_valid(input.data(), static_cast<gssize>(input.size()));
  std::string out(valid);
  g_free(valid);
  return out;
}

}  // namespace

HTMLText HTMLTextExtractor::extract(std::string_view html) {
  bool truncated = false;
  std::string text = prepare(html, truncated);
  HTMLText result = Extraction(text).run();
  result.truncated = result.truncated || truncated;
  return result;
}

HTMLText HTMLTextExtractor::extractPlainText(std::string_view plain) {
  HTMLText result;
  std::string text = prepare(plain, result.truncated);
  HTMLTextBlock block;
  block.kind = HTMLTextBlock::Kind::Preformatted;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') continue;
      c = '\n';
    }
    auto u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\n' && c != '\t') || u == 0x7F) continue;
    block.text += c;
  }
  while (!block.text.empty() && (block.text.back() == '\n' || block.text.back() == ' '))
    block.text.pop_back();
  if (!block.text.empty()) result.blocks.push_back(std::move(block));
  return result;
}

}  // namespace vexa
