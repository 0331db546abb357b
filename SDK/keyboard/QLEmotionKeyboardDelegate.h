// What the emotion keyboard tells about the user's actions, and the grid
// shape it asks per section.
//
// Sections and index paths as in QLEmotionKeyboardDataSource. Every member
// is optional and only called when set. The owner keeps the struct alive
// (std::shared_ptr); the keyboard holds it weakly. Called on the main
// thread, from the keyboard's touch handling and view-tree changes.
#pragma once

#include <cstddef>
#include <functional>

#include "vexa/platform/ui/IndexPath.h"

namespace vexa {

class QLEmotionKeyboard;

struct QLEmotionKeyboardDelegate {
  virtual ~QLEmotionKeyboardDelegate() = default;

  // Rows and columns per page of a section (2 and 4 when not answered).
  std::function<size_t(QLEmotionKeyboard& keyboard, int section)> rowsInSection;
  std::function<size_t(QLEmotionKeyboard& keyboard, int section)> columnsInSection;
  // The user tapped an emoji.
  std::function<void(QLEmotionKeyboard& keyboard, const IndexPath& indexPath)>
      didSelectItemAtIndexPath;
  // A section became current, by a swipe of the grid or a tap on its tab.
  std::function<void(QLEmotionKeyboard& keyboard, int section)> didSelectedSectionAtIndex;
  // The user long-pressed an emoji and its preview opened.
  std::function<void(QLEmotionKeyboard& keyboard, const IndexPath& indexPath)>
      longPressItemAtIndexPath;
  // The keyboard is about to be added to a superview or taken off one.
  std::function<void(QLEmotionKeyboard& keyboard)> willMoveToSuperViewForKeyboard;
  // The user tapped a backspace key of the grid.
  std::function<void(QLEmotionKeyboard& keyboard)> triggerBackspaceForKeyboard;
  // The user tapped the tool bar's send button.
  std::function<void(QLEmotionKeyboard& keyboard)> triggerSendForKeyboard;
  // The user tapped the overlay on the input; the input already has its
  // system keyboard back.
  std::function<void(QLEmotionKeyboard& keyboard)> tapOverlayForKeyboard;
};

}  // namespace vexa
