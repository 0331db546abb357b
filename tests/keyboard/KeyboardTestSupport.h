// The keyboard in a window against the reference service: a store with the
// default packages installed, and a data source and delegate that answer as
// the emotion centre does (3 x 7 pages with backspace for the small-emoji
// defaults, 2 x 4 with captions for stickers) and record what they hear.
#pragma once
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include <memory>
#include <string>
#include <vector>

#include "DownloadTestSupport.h"
#include "vexa/keyboard/QLEmotionKeyboard.h"
#include "vexa/keyboard/QLEmotionKeyboardSession.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/platform/ui/Window.h"

namespace vexa::test {

class KeyboardTest : public DownloadTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  void installDefaults();
  void install(const std::string& guid);
  // A keyboard of the screen's width and 216 points at the window's bottom,
  // with the centre-like source and delegate; waits for its requests.
  void showKeyboard(Screen screen = Screen::phone375x667());
  // Window point of a grid cell (group, cell) when it is on screen.
  Point pointOfCell(int group, int cell);
  // A left swipe over the grid.
  void swipeLeft();
  void settle();

  std::shared_ptr<QLEmotionKeyboardSession> session_ = std::make_shared<QLEmotionKeyboardSession>();
  std::shared_ptr<QLEmotionKeyboardDataSource> source_;
  std::shared_ptr<QLEmotionKeyboardDelegate> delegate_;
  std::shared_ptr<Window> window_;
  std::shared_ptr<ViewController> root_;
  std::shared_ptr<QLEmotionKeyboard> keyboard_;
  double clock_ = 0;
  // What the delegate heard.
  std::vector<int> sections_;
  std::vector<IndexPath> picks_, longPresses_;
  int backspaces_ = 0, sends_ = 0;
};

}  // namespace vexa::test

#endif  // VEXA_HAVE_REFERENCE_SERVICE
