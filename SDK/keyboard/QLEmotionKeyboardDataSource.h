// What the emotion keyboard asks about the packages it shows.
//
// Sections are packages, 0 ... count - 1; an index path is (section, item)
// with item the emoji's position in its package (backspace keys are the
// keyboard's own and never counted). The keyboard maps its groups (which
// may start with the recommended group) to sections before it asks.
//
// Every member is optional: an empty one counts as 0, none or no. The owner
// keeps the struct alive (std::shared_ptr); the keyboard holds it weakly, so
// a source that goes away simply stops being asked. Called on the main
// thread, during the keyboard's reloads, layout and touch handling.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "vexa/platform/Image.h"
#include "vexa/platform/ui/IndexPath.h"

namespace vexa {

class QLEmotionKeyboard;

struct QLEmotionKeyboardDataSource {
  virtual ~QLEmotionKeyboardDataSource() = default;
  using ImagePtr = std::shared_ptr<const Image>;

  // Sections (packages) of the grid.
  std::function<int(QLEmotionKeyboard& keyboard)> numberOfSectionInKeyboard;
  // Emojis of a section, backspace keys not counted.
  std::function<int(QLEmotionKeyboard& keyboard, int section)> numberOfItemsInSection;
  // The emoji's main image, shown enlarged by the long-press preview.
  std::function<ImagePtr(QLEmotionKeyboard& keyboard, const IndexPath& indexPath)>
      imageForItemAtIndexPath;
  // The picture of the emoji's grid cell.
  std::function<ImagePtr(QLEmotionKeyboard& keyboard, const IndexPath& indexPath)>
      thumbForItemAtIndexPath;
  // The caption under the cell; none (or empty) for no caption.
  std::function<std::optional<std::string>(QLEmotionKeyboard& keyboard, const IndexPath& indexPath)>
      titleForItemAtIndexPath;
  // The tool-bar icon of a section.
  std::function<ImagePtr(QLEmotionKeyboard& keyboard, int section)> imageInSection;
  // Whether the section's pages end with a backspace key; also whether the
  // send button shows while its tab is selected.
  std::function<bool(QLEmotionKeyboard& keyboard, int section)> shouldAddBackspaceInSection;
  // The section shown when the keyboard loads. An answer past the last
  // section counts as 0.
  std::function<size_t(QLEmotionKeyboard& keyboard)> indexOfSelectedSectionInKeyboard;
  // Sections of the tool bar's tabs; without it the tool bar has no tabs.
  std::function<int(QLEmotionKeyboard& keyboard)> numberOfSectionsInKeyboard;

  // For tools and assistive technology: the emoji's code (its cell is
  // identified as "emoji:CODE"), the section's package guid (its tab is
  // "tab:GUID") and the section's name (the tab's label).
  std::function<std::string(QLEmotionKeyboard& keyboard, const IndexPath& indexPath)>
      codeForItemAtIndexPath;
  std::function<std::string(QLEmotionKeyboard& keyboard, int section)> identifierInSection;
  std::function<std::string(QLEmotionKeyboard& keyboard, int section)> nameInSection;
};

}  // namespace vexa
