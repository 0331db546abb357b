// The readable text of a simple HTML page, for the page view: headings,
// paragraphs, list items and preformatted blocks, each with its links.
//
// One forward pass over the bytes with no tree and no recursion: tags are
// recognised and dropped, character references (named and numeric, see
// HTMLCharacterReference) decoded, the contents of script, style, title
// (kept apart as the title), template and the other elements a page never
// shows are skipped, and white space collapses as a browser collapses it
// outside <pre>. Block-level tags end a block; <br> breaks a line.
//
// Bounds: the first kMaximumInputSize bytes are read, at most
// kMaximumBlocks blocks are made (either cut marks the result truncated),
// lists nest to kMaximumListDepth levels (deeper ones count as the
// deepest) and names and references are read to a fixed length. Bytes that
// are not UTF-8 become U+FFFD, so every text is valid UTF-8. Any input gives
// a result; nothing throws. Stateless; any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct HTMLLink {
  size_t start = 0;  // byte range in the block's text
  size_t end = 0;
  std::string href;  // as written, references decoded
  bool operator==(const HTMLLink&) const = default;
};

struct HTMLTextBlock {
  enum class Kind { Heading, Paragraph, ListItem, Preformatted };
  Kind kind = Kind::Paragraph;
  int level = 0;  // 1 to 6 for headings, the nesting depth for list items
  std::string text;
  std::vector<HTMLLink> links;
  bool operator==(const HTMLTextBlock&) const = default;
};

struct HTMLText {
  std::string title;
  std::vector<HTMLTextBlock> blocks;
  bool truncated = false;
};

class HTMLTextExtractor {
 public:
  static constexpr size_t kMaximumInputSize = size_t(2) << 20;
  static constexpr size_t kMaximumBlocks = 4096;
  static constexpr int kMaximumListDepth = 16;

  static HTMLText extract(std::string_view html);
  // A text/plain page: its lines as one preformatted block.
  static HTMLText extractPlainText(std::string_view text);
};

}  // namespace vexa
