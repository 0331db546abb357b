// A button: title, title colour, title font, image and background image per
// control state (a state without its own value falls back to Normal), laid
// out as image then title, centred. An accessibility element whose label is
// its current title. Main thread only.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "vexa/platform/Font.h"
#include "vexa/platform/Image.h"
#include "vexa/platform/ui/Control.h"

namespace vexa {

class Label;
class ImageView;

class Button : public Control {
 public:
  explicit Button(Rect frame = {});
  static std::shared_ptr<Button> create(Rect frame = {}) { return std::make_shared<Button>(frame); }

  void setTitle(const std::string& title, unsigned state = ControlStateNormal);
  void setTitleColor(Color color, unsigned state = ControlStateNormal);
  void setImage(std::shared_ptr<const Image> image, unsigned state = ControlStateNormal);
  void setBackgroundImage(std::shared_ptr<const Image> image, unsigned state = ControlStateNormal);
  // The font is the title label's, for every state.
  void setTitleFont(const Font& font);
  // Draws the title in the tint colour, whatever the state's colour.
  void setTitleColorFollowsTint(bool follows);

  std::string titleForState(unsigned state) const;
  Color titleColorForState(unsigned state) const;
  std::shared_ptr<const Image> imageForState(unsigned state) const;
  std::shared_ptr<const Image> backgroundImageForState(unsigned state) const;
  // What the current state shows.
  std::string currentTitle() const { return titleForState(state()); }
  std::shared_ptr<const Image> currentBackgroundImage() const {
    return backgroundImageForState(state());
  }

  const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }
  const std::shared_ptr<ImageView>& imageView() const { return imageView_; }

  void setEnabled(bool enabled) override;
  void setSelected(bool selected) override;
  void setHighlighted(bool highlighted) override;

  Size sizeThatFits(Size size) const override;
  void layoutSubviews() override;
  void draw(cairo_t* cr, const Rect& rect) const override;

 protected:
  std::string defaultAccessibilityLabel() const override { return currentTitle(); }

 private:
  template <typename T>
  static std::optional<T> lookup(const std::map<unsigned, T>& m, unsigned state) {
    if (auto it = m.find(state); it != m.end()) return it->second;
    if (auto it = m.find(ControlStateNormal); it != m.end()) return it->second;
    return std::nullopt;
  }
  void refresh();

  std::map<unsigned, std::string> titles_;
  std::map<unsigned, Color> titleColors_;
  std::map<unsigned, std::shared_ptr<const Image>> images_;
  std::map<unsigned, std::shared_ptr<const Image>> backgroundImages_;
  std::shared_ptr<Label> titleLabel_;
  std::shared_ptr<ImageView> imageView_;
};

}  // namespace vexa
