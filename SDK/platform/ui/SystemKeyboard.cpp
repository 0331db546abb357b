#include "vexa/platform/ui/SystemKeyboard.h"

#include <algorithm>

#include "vexa/platform/AttributedString.h"
#include "vexa/platform/TextInput.h"
#include "vexa/platform/ui/Button.h"

namespace vexa {

namespace {
constexpr const char* kRows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
constexpr double kGap = 6;
constexpr double kTop = 10;
constexpr double kKeyHeight = 42;
constexpr double kRowSpacing = 12;
}  // namespace

SystemKeyboard::SystemKeyboard(Rect frame) : View(frame) {
  setBackgroundColor(Color::rgb255(209, 213, 219));
  for (const char* row : kRows) {
    std::vector<std::shared_ptr<Button>> keys;
    for (const char* c = row; *c; ++c) {
      std::string letter(1, *c);
      keys.push_back(addKey(letter, "key:" + letter, [this, letter] { pressKey(letter); }));
    }
    letterRows_.push_back(std::move(keys));
  }
  backspace_ = addKey("⌫", "key:backspace", [this] { deleteBackward(); });
  backspace_->setAccessibilityLabel("删除");
  space_ = addKey("space", "key:space", [this] { pressKey(" "); });
  space_->setAccessibilityLabel("空格");
  return_ = addKey("return", "key:return", [this] { insertReturn(); });
  return_->setAccessibilityLabel("换行");
}

std::shared_ptr<Button> SystemKeyboard::addKey(const std::string& title, const std::string& id,
                                               std::function<void()> press) {
  auto key = Button::create();
  key->setTitle(title);
  key->setTitleColor(Color::black());
  key->setTitleFont(Font::systemFont(title.size() == 1 ? 20 : 15));
  key->setBackgroundColor(Color::whiteColor());
  key->setCornerRadius(5);
  key->setAccessibilityIdentifier(id);
  key->addAction(ControlEventTouchUpInside, [press = std::move(press)](Control&) { press(); });
  addSubview(key);
  return key;
}

bool SystemKeyboard::pressKey(std::string_view character) {
  auto client = client_.lock();
  TextInput* input = client ? client->keyInput() : nullptr;
  return input && input->insertText(character);
}

bool SystemKeyboard::typeText(std::string_view text) {
  if (!client_.lock()) return false;
  AttributedString characters(text);
  bool all = true;
  for (size_t i = 0; i < characters.length(); ++i) {
    std::string_view c = characters.substring({i, 1});
    all = (c == "\n" ? insertReturn() : pressKey(c)) && all;
  }
  return all;
}

bool SystemKeyboard::deleteBackward() {
  auto client = client_.lock();
  TextInput* input = client ? client->keyInput() : nullptr;
  return input && input->deleteBackward();
}

bool SystemKeyboard::insertReturn() {
  auto client = client_.lock();
  TextInput* input = client ? client->keyInput() : nullptr;
  if (!input || input->kind() != TextInput::Kind::View) return false;
  return input->insertText("\n");
}

void SystemKeyboard::layoutSubviews() {
  double width = bounds().width();
  double keyWidth = std::max(1.0, (width - kGap * 11) / 10);
  double y = kTop;
  for (size_t r = 0; r < letterRows_.size(); ++r) {
    const auto& keys = letterRows_[r];
    double rowWidth = keys.size() * keyWidth + (keys.size() - 1) * kGap;
    double x = (width - rowWidth) / 2;
    for (const auto& key : keys) {
      key->setFrame(Rect(x, y, keyWidth, kKeyHeight));
      x += keyWidth + kGap;
    }
    if (r + 1 == letterRows_.size())
      backspace_->setFrame(Rect(width - kGap - keyWidth * 1.5, y, keyWidth * 1.5, kKeyHeight));
    y += kKeyHeight + kRowSpacing;
  }
  double returnWidth = keyWidth * 2.5;
  return_->setFrame(Rect(width - kGap - returnWidth, y, returnWidth, kKeyHeight));
  double spaceWidth = keyWidth * 5;
  space_->setFrame(Rect((width - spaceWidth) / 2, y, spaceWidth, kKeyHeight));
}

}  // namespace vexa
