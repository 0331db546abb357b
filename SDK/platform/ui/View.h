// The view: a rectangle in a tree of views, the base of every on-screen
// element of the SDK.
//
// Ownership: a view owns its subviews (std::shared_ptr); the superview link
// is a plain back pointer that the parent clears when it lets a child go, so
// it never dangles. Create views with std::make_shared (every class offers
// `create`), because hit testing and the layout pass hand out shared
// pointers to views. Subclasses build their subviews in their constructor.
//
// Geometry: `frame` is in the superview's coordinates; `bounds` is the
// view's own coordinate space (its origin is the scroll offset); changing
// the bounds size keeps the centre. There are no transforms.
//
// Layout: setNeedsLayout() marks a view; layoutIfNeeded() runs
// layoutSubviews() top-down for every marked view of a subtree. A window
// schedules that pass on the main queue; tests and the renderer call it.
//
// A view can host any non-view model by composition (a subclass owning the
// model and drawing it in draw()); the text inputs (TextInputView) do.
//
// Responders: a view that can become first responder (a text input) is the
// one its window's keyboards serve; the window shows its input view, or the
// stand-in system keyboard, at the bottom (KeyboardHost). A view leaving its
// window resigns first.
//
// Accessibility: every view has a label (human text in the UI's language),
// an identifier (stable, for tools and tests) and an element flag; labels,
// buttons and text inputs are elements by default and labels and buttons
// take their text as label.
//
// Thread rules: the view tree is main-thread only.
#pragma once

#include <cairo.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/platform/Color.h"
#include "vexa/platform/Geometry.h"
#include "vexa/platform/ui/Touch.h"
#include "vexa/platform/ui/ViewAnimation.h"

namespace vexa {

class GestureRecognizer;
class TextInput;
class ViewController;
class Window;

enum AutoresizingMask : unsigned {
  AutoresizingNone = 0,
  AutoresizingFlexibleLeftMargin = 1 << 0,
  AutoresizingFlexibleWidth = 1 << 1,
  AutoresizingFlexibleRightMargin = 1 << 2,
  AutoresizingFlexibleTopMargin = 1 << 3,
  AutoresizingFlexibleHeight = 1 << 4,
  AutoresizingFlexibleBottomMargin = 1 << 5,
};

struct Shadow {
  Color color = Color::black();
  double opacity = 0;
  Size offset{0, -3};
  double radius = 3;
};

class View : public std::enable_shared_from_this<View> {
 public:
  explicit View(Rect frame = {});
  virtual ~View();
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  static std::shared_ptr<View> create(Rect frame = {}) { return std::make_shared<View>(frame); }

  // --- Geometry
  Rect frame() const { return frame_; }
  virtual void setFrame(const Rect& frame);
  Rect bounds() const { return Rect(boundsOrigin_, frame_.size); }
  // A new size keeps the centre; a new origin scrolls the content.
  void setBounds(const Rect& bounds);
  Point center() const { return frame_.center(); }
  void setCenter(Point center);

  // --- Tree
  View* superview() const { return superview_; }
  const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
  // Adds (or moves to the front); a view in another tree leaves it first.
  void addSubview(std::shared_ptr<View> view);
  void insertSubview(std::shared_ptr<View> view, size_t index);
  void insertSubviewBelow(std::shared_ptr<View> view, const View* sibling);
  void insertSubviewAbove(std::shared_ptr<View> view, const View* sibling);
  void removeFromSuperview();
  void bringSubviewToFront(const View* view);
  void sendSubviewToBack(const View* view);
  bool isDescendantOf(const View* ancestor) const;
  // The window this view is shown in, or nullptr.
  Window* window() const;
  // The root of this view's tree (itself when it has no superview).
  View* rootView();

  int tag() const { return tag_; }
  void setTag(int tag) { tag_ = tag; }
  // This view or the first descendant (depth first) with the tag.
  std::shared_ptr<View> viewWithTag(int tag);

  // --- Appearance
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden);
  double alpha() const { return alpha_; }
  void setAlpha(double alpha);
  // None means transparent.
  const std::optional<Color>& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(std::optional<Color> color);
  bool clipsToBounds() const { return clipsToBounds_; }
  void setClipsToBounds(bool clips) { clipsToBounds_ = clips; }
  double cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(double radius) { cornerRadius_ = radius; }
  double borderWidth() const { return borderWidth_; }
  void setBorderWidth(double width) { borderWidth_ = width; }
  Color borderColor() const { return borderColor_; }
  void setBorderColor(Color color) { borderColor_ = color; }
  const Shadow& shadow() const { return shadow_; }
  void setShadow(const Shadow& shadow) { shadow_ = shadow; }
  // The colour of template images and carets: the view's own, else its
  // superview's, else the system blue.
  Color tintColor() const;
  void setTintColor(std::optional<Color> color) { tintColor_ = std::move(color); }

  // --- Interaction
  bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
  void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
  // In this view's coordinates.
  virtual bool pointInside(Point point) const;
  // The deepest visible, interactive view containing the point (this
  // view's coordinates), or nullptr.
  virtual std::shared_ptr<View> hitTest(Point point);

  void addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer);
  void removeGestureRecognizer(const GestureRecognizer* recognizer);
  const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const {
    return gestureRecognizers_;
  }

  // Touch handling (responder chain): the default passes the touch on to
  // the superview; views that handle touches override.
  virtual void touchesBegan(const Touch& touch);
  virtual void touchesMoved(const Touch& touch);
  virtual void touchesEnded(const Touch& touch);
  virtual void touchesCancelled(const Touch& touch);

  // --- Responder
  virtual bool canBecomeFirstResponder() const { return false; }
  // Needs a window; the window's current first responder resigns first.
  // False when this view cannot become first responder.
  bool becomeFirstResponder();
  // True when this view is no longer first responder.
  bool resignFirstResponder();
  bool isFirstResponder() const;
  // What the window shows in place of the keyboard while this view is first
  // responder. Without one, a view with a keyInput() gets the system keyboard.
  virtual std::shared_ptr<View> inputView() const { return nullptr; }
  // The text the keyboards type into, or nullptr for views without text.
  virtual TextInput* keyInput() { return nullptr; }
  // Makes the window show the current input view (after it changed).
  void reloadInputViews();

  // --- Accessibility
  bool isAccessibilityElement() const;
  void setIsAccessibilityElement(bool element) { accessibilityElement_ = element; }
  // The label set, else the view's default (its text for labels and buttons).
  std::string accessibilityLabel() const;
  void setAccessibilityLabel(std::string label) { accessibilityLabel_ = std::move(label); }
  const std::string& accessibilityIdentifier() const { return accessibilityIdentifier_; }
  void setAccessibilityIdentifier(std::string id) { accessibilityIdentifier_ = std::move(id); }

  // --- Layout
  unsigned autoresizingMask() const { return autoresizingMask_; }
  void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }
  bool autoresizesSubviews() const { return autoresizesSubviews_; }
  void setAutoresizesSubviews(bool on) { autoresizesSubviews_ = on; }
  void setNeedsLayout();
  bool needsLayout() const { return needsLayout_; }
  // Lays out this view (if marked) and every marked view below it.
  void layoutIfNeeded();
  // Places the subviews; the default does nothing (autoresizing has
  // already been applied when the size changed).
  virtual void layoutSubviews() {}
  // The size that fits best within `size`; the default is the current size.
  virtual Size sizeThatFits(Size size) const;
  void sizeToFit();

  // --- Coordinates. A nullptr view means the root of this view's tree
  // (the window's coordinates when the view is in one).
  Point convertPointToView(Point point, const View* view) const;
  Point convertPointFromView(Point point, const View* view) const;
  Rect convertRectToView(const Rect& rect, const View* view) const;
  Rect convertRectFromView(const Rect& rect, const View* view) const;

  // --- Drawing. The renderer fills the background, calls draw() and the
  // draw handler in the view's bounds coordinates, then draws the subviews
  // and finally the border.
  virtual void draw(cairo_t* cr, const Rect& rect) const;
  using DrawHandler = std::function<void(cairo_t* cr, const Rect& rect)>;
  void setDrawHandler(DrawHandler handler) { drawHandler_ = std::move(handler); }
  const DrawHandler& drawHandler() const { return drawHandler_; }

  // The last animation under which this view's geometry or look changed.
  const std::optional<AnimationRecord>& lastAnimation() const { return lastAnimation_; }

 protected:
  // Around every bounds change (frame size or bounds origin).
  virtual void willChangeBounds(const Rect& newBounds) { (void)newBounds; }
  virtual void didChangeBounds(const Rect& oldBounds) { (void)oldBounds; }
  virtual void willMoveToSuperview(View* newSuperview) { (void)newSuperview; }
  virtual void didMoveToSuperview() {}
  virtual void willMoveToWindow(Window* newWindow) { (void)newWindow; }
  virtual void didMoveToWindow() {}
  virtual void didBecomeFirstResponder() {}
  virtual void didResignFirstResponder() {}
  virtual bool defaultIsAccessibilityElement() const { return false; }
  virtual std::string defaultAccessibilityLabel() const { return {}; }
  void noteAnimatedChange();

 private:
  friend class Window;
  friend class ViewController;
  void applyGeometry(const Rect& frame, Point boundsOrigin);
  void resizeSubviews(Size oldSize);
  void resizeWithOldSuperviewSize(Size oldSuperSize);
  void attach(std::shared_ptr<View> view, size_t index);
  void detachFromSuperview();
  void markSubtreeNeedsLayout();
  void notifyWindowChange(Window* newWindow, bool before);
  Point toRoot(Point p) const;
  Point fromRoot(Point p) const;

  Rect frame_;
  Point boundsOrigin_;
  View* superview_ = nullptr;
  std::vector<std::shared_ptr<View>> subviews_;
  std::vector<std::shared_ptr<GestureRecognizer>> gestureRecognizers_;
  int tag_ = 0;
  bool hidden_ = false;
  double alpha_ = 1;
  std::optional<Color> backgroundColor_;
  bool clipsToBounds_ = false;
  double cornerRadius_ = 0;
  double borderWidth_ = 0;
  Color borderColor_ = Color::black();
  Shadow shadow_;
  bool userInteractionEnabled_ = true;
  unsigned autoresizingMask_ = AutoresizingNone;
  bool autoresizesSubviews_ = true;
  bool needsLayout_ = true;
  bool subtreeNeedsLayout_ = true;
  DrawHandler drawHandler_;
  std::optional<AnimationRecord> lastAnimation_;
  std::optional<Color> tintColor_;
  std::optional<bool> accessibilityElement_;
  std::optional<std::string> accessibilityLabel_;
  std::string accessibilityIdentifier_;
  // The controller whose view this is; told around each layout.
  ViewController* viewController_ = nullptr;
};

}  // namespace vexa
