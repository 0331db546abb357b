// Runs `vexa ui` scripts as a user runs them and reads what they print:
// JSON lines on standard output, "vexa: line N: why" on standard error.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/Value.h"
#include "support/TempDirectory.h"

namespace vexa::test {

inline const std::string kTool = VEXA_TOOL_PATH;

struct ScriptRun {
  int status = -1;
  std::vector<Value> lines;  // standard output, one JSON value a line
  std::string errors;

  // The first line holding `key` (e.g. "input", "tree"), as its value.
  const Value* first(const std::string& key, size_t skip = 0) const {
    for (const Value& line : lines)
      if (const Value* v = line.find(key); v && skip-- == 0) return v;
    return nullptr;
  }
};

// `vexa --home HOME [globals] ui [extra] --script FILE` with the script.
ScriptRun runScript(const TempDirectory& home, const std::string& script, std::vector<std::string> extra = {},
                    std::vector<std::string> globals = {});
// The JSON values of a tool's standard output, one a line.
std::vector<Value> jsonLines(std::string_view out);
// Every node of a `tree` (the node itself included) that matches, in tree order.
std::vector<const Value*> findAll(const Value& node, const std::function<bool(const Value&)>& matches);
// The node with this identifier, depth first, or nullptr.
const Value* findNode(const Value& node, const std::string& id);
// Every node whose identifier starts with the prefix.
std::vector<const Value*> findNodes(const Value& node, const std::string& prefix);
// Every node whose "field" (class, text, label...) is the text.
std::vector<const Value*> findWith(const Value& node, const std::string& field, const std::string& text);
Rect frameOf(const Value& node);

}  // namespace vexa::test
