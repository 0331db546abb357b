// A view that paints chosen edges of its bounds, each in its own width and
// colour, in a chosen order (a later edge paints over an earlier one where
// they meet, so the order decides the corners). Only the edges in the draw
// order are drawn; without one, all four are, left, top, right, bottom.
// Every edge starts one device pixel wide in the theme's separator colour.
// Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "vexa/platform/Color.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class QLBorderView : public View {
 public:
  // Edge bits.
  static constexpr unsigned kEdgeLeft = 1;
  static constexpr unsigned kEdgeTop = 2;
  static constexpr unsigned kEdgeRight = 4;
  static constexpr unsigned kEdgeBottom = 8;
  static constexpr unsigned kAllEdges = 15;

  explicit QLBorderView(Rect frame = {});
  static std::shared_ptr<QLBorderView> create(Rect frame = {}) {
    return std::make_shared<QLBorderView>(frame);
  }

  // Sets width and colour of every edge whose bit is in `edges`.
  void setBorderWidth(double width, std::optional<Color> color, unsigned edges);
  const std::vector<unsigned>& drawOrder() const { return drawOrder_; }
  // Edge numbers; numbers that are not one edge draw nothing.
  void setDrawOrder(std::vector<unsigned> order) { drawOrder_ = std::move(order); }

  double leftWidth() const { return width_[0]; }
  double topWidth() const { return width_[1]; }
  double rightWidth() const { return width_[2]; }
  double bottomWidth() const { return width_[3]; }
  const std::optional<Color>& leftColor() const { return color_[0]; }
  const std::optional<Color>& topColor() const { return color_[1]; }
  const std::optional<Color>& rightColor() const { return color_[2]; }
  const std::optional<Color>& bottomColor() const { return color_[3]; }

  // The rectangle an edge paints, or none (no width, no colour, no edge).
  std::optional<Rect> rectForEdge(unsigned edge) const;
  void draw(cairo_t* cr, const Rect& rect) const override;

 private:
  static int slot(unsigned edge);

  std::vector<unsigned> drawOrder_;
  double width_[4];
  std::optional<Color> color_[4];
};

}  // namespace vexa
