// A text input on screen: the view side of a TextInput model (TextFieldView
// owns a TextField, TextAreaView a TextView).
//
// It draws the model's rich text, inline images included (RichTextLayout),
// and, while it is first responder, the caret or the selection in its tint
// colour; the text scrolls so that the caret stays in sight. A tap makes it
// first responder and puts the caret at the tapped character. It is what
// keyboards type into (keyInput(): typing goes through the model's user-edit
// path, so the model's delegate is asked and told), and what an input view
// such as the emotion keyboard attaches to: setInputView() then
// reloadInputViews(), as on the phone.
//
// After every did-change of the model (typing, a keyboard's replaceRange)
// the view posts its kind's text-did-change notification on the default
// centre with this view (as `const View*`) as object, so observers can
// follow one given input. Programmatic changes of the model post nothing.
//
// An accessibility element; give it an identifier ("input") and a label.
// Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/Font.h"
#include "vexa/platform/TextInput.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class RichTextLayout;

class TextInputView : public View {
 public:
  virtual TextInput& input() = 0;
  virtual const TextInput& input() const = 0;

  std::shared_ptr<View> inputView() const override { return inputView_; }
  // Takes effect at the next reloadInputViews() (or becoming first responder).
  void setInputView(std::shared_ptr<View> view) { inputView_ = std::move(view); }
  TextInput* keyInput() override { return &input(); }
  bool canBecomeFirstResponder() const override { return true; }

  // Room between the view's edges and the text.
  EdgeInsets textInsets() const { return textInsets_; }
  void setTextInsets(EdgeInsets insets) { textInsets_ = insets; }
  // The font used where the model has none.
  static Font defaultFont() { return Font::systemFont(17); }

  // Where the caret of the current selection is drawn, in this view's
  // coordinates (also when the view is not first responder).
  Rect caretRect() const;
  // The size that shows the whole text: at `size.width` (the view's width
  // when 0) for a multi-line input, insets included.
  Size sizeThatFits(Size size) const override;

  void draw(cairo_t* cr, const Rect& rect) const override;
  void touchesBegan(const Touch& touch) override;
  void touchesMoved(const Touch& touch) override;
  void touchesEnded(const Touch& touch) override;
  void touchesCancelled(const Touch& touch) override;

 protected:
  TextInputView(Rect frame, bool multiline, EdgeInsets insets);
  virtual const char* textDidChangeNotificationName() const = 0;

  // A subclass's model: after each did-change (its delegate told first) the
  // view posts its notification.
  template <typename Model>
  class Telling final : public Model {
   public:
    explicit Telling(TextInputView& owner) : owner_(owner) {}
    void didChangeText() override {
      Model::didChangeText();
      owner_.textDidChange();
    }

   private:
    TextInputView& owner_;
  };
  bool defaultIsAccessibilityElement() const override { return true; }

 private:
  void textDidChange();
  std::unique_ptr<RichTextLayout> makeLayout(double width) const;
  std::unique_ptr<RichTextLayout> makeLayout() const;
  // Where the layout's origin goes in the view, the caret kept in sight.
  Point textOrigin(const RichTextLayout& layout) const;

  bool multiline_;
  EdgeInsets textInsets_;
  std::shared_ptr<View> inputView_;
};

}  // namespace vexa
