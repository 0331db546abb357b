#include "vexa/platform/ui/WebTextBlockView.h"

#include "vexa/platform/ui/TapGestureRecognizer.h"
#include "vexa/platform/ui/TextEngine.h"

namespace vexa {

WebTextBlockView::WebTextBlockView(HTMLTextBlock block) : block_(std::move(block)) {
  setText(block_.text);
  setFont(fontForBlock(block_));
  setNumberOfLines(0);
  if (block_.links.empty()) return;
  setUserInteractionEnabled(true);
  // The recogniser belongs to this view, which detaches it when it goes.
  addGestureRecognizer(TapGestureRecognizer::create([](GestureRecognizer& r) {
    auto* self = dynamic_cast<WebTextBlockView*>(r.view());
    if (!self || !self->linkHandler_) return;
    if (const HTMLLink* link = self->linkAtPoint(r.locationInView(self))) {
      auto handler = self->linkHandler_;
      handler(link->href);
    }
  }));
}

Font WebTextBlockView::fontForBlock(const HTMLTextBlock& block) {
  switch (block.kind) {
    case HTMLTextBlock::Kind::Heading:
      return Font::boldSystemFont(block.level == 1 ? 22 : block.level == 2 ? 20 : block.level == 3 ? 18 : 16);
    case HTMLTextBlock::Kind::Preformatted: return Font::systemFont(14);
    default: return Font::systemFont(16);
  }
}

Color WebTextBlockView::linkColor() { return Color::rgb255(0, 84, 166); }

const HTMLLink* WebTextBlockView::linkAtPoint(Point point) const {
  auto index = TextEngine::shared().indexAtPoint(block_.text, font(), bounds().width(), point);
  if (!index) return nullptr;
  for (const auto& link : block_.links)
    if (*index >= link.start && *index < link.end) return &link;
  return nullptr;
}

void WebTextBlockView::draw(cairo_t* cr, const Rect&) const {
  std::vector<TextEngine::Span> spans;
  for (const auto& link : block_.links) spans.push_back({link.start, link.end, linkColor()});
  TextEngine::shared().drawWithSpans(cr, text(), font(), textColor(), bounds(), spans);
}

}  // namespace vexa
