// The driver's standard output: JSON lines only, each written whole and
// flushed at once so a reader sees events as they happen. Keys keep the
// order the documentation gives ("event" first, "children" last).
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "VisibleTree.h"
#include "vexa/platform/Value.h"

namespace vexa::tool::ui {

// What the `input` step reports of the host's input.
struct InputState {
  std::string plain;  // "[code]" for each inline emoji
  size_t caret = 0;   // in characters
  size_t attachments = 0;
  bool firstResponder = false;
  std::string keyboard;  // "emotion", "system" or "none"
};

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  // {"event": name, ...fields}, fields being a dictionary (or null).
  void event(const std::string& name, const Value& fields = {});
  // {"tree": NODE}, NODE = {"class", "id", "label", "text", "frame",
  // "selected", "enabled", "children"}.
  void tree(const VisibleNode& root);
  // {"input": {"plain", "caret", "attachments", "firstResponder", "keyboard"}}.
  void input(const InputState& state);

 private:
  void line(const std::string& json);
  std::ostream& out_;
};

}  // namespace vexa::tool::ui
