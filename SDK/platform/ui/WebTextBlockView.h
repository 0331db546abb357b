// One block of a page's text in a WebView: a label of as many lines as the
// text needs, in the block's font (headings larger and bold), with its
// links underlined in the link colour. A tap on a link hands its href to
// the link handler. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vexa/platform/ui/HTMLTextExtractor.h"
#include "vexa/platform/ui/Label.h"

namespace vexa {

class WebTextBlockView : public Label {
 public:
  using LinkHandler = std::function<void(const std::string& href)>;

  explicit WebTextBlockView(HTMLTextBlock block);
  static std::shared_ptr<WebTextBlockView> create(HTMLTextBlock block) {
    return std::make_shared<WebTextBlockView>(std::move(block));
  }

  static Font fontForBlock(const HTMLTextBlock& block);
  static Color linkColor();

  const HTMLTextBlock& block() const { return block_; }
  void setLinkHandler(LinkHandler handler) { linkHandler_ = std::move(handler); }
  // The link under a point of this view, if any.
  const HTMLLink* linkAtPoint(Point point) const;

  void draw(cairo_t* cr, const Rect& rect) const override;

 private:
  HTMLTextBlock block_;
  LinkHandler linkHandler_;
};

}  // namespace vexa
