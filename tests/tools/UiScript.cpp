#include "UiScript.h"

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "vexa/platform/FileSystem.h"
#include "vexa/platform/JsonCodec.h"

namespace vexa::test {

ScriptRun runScript(const TempDirectory& home, const std::string& script, std::vector<std::string> extra,
                    std::vector<std::string> globals) {
  auto path = home / "script.txt";
  EXPECT_TRUE(FileSystem::writeAtomically(path, script).ok());
  std::vector<std::string> argv{kTool, "--home", home.path().string()};
  argv.insert(argv.end(), globals.begin(), globals.end());
  argv.insert(argv.end(), {"ui", "--script", path.string()});
  argv.insert(argv.end(), extra.begin(), extra.end());
  ChildProcess child(argv);
  ScriptRun run;
  run.status = child.wait();
  run.errors = child.errors();
  run.lines = jsonLines(child.output());
  return run;
}

std::vector<Value> jsonLines(std::string_view out) {
  std::vector<Value> lines;
  while (!out.empty()) {
    size_t end = out.find('\n');
    auto json = JsonCodec::parse(out.substr(0, end));
    EXPECT_TRUE(json.ok()) << "not a JSON line: " << out.substr(0, end);
    if (json.ok()) lines.push_back(*json);
    out = end == std::string_view::npos ? std::string_view() : out.substr(end + 1);
  }
  return lines;
}

std::vector<const Value*> findAll(const Value& node, const std::function<bool(const Value&)>& matches) {
  std::vector<const Value*> out;
  if (matches(node)) out.push_back(&node);
  if (const Value* children = node.find("children"); children && children->asArray())
    for (const Value& child : *children->asArray()) {
      auto below = findAll(child, matches);
      out.insert(out.end(), below.begin(), below.end());
    }
  return out;
}

std::vector<const Value*> findWith(const Value& node, const std::string& field, const std::string& text) {
  return findAll(node, [&](const Value& n) {
    const Value* v = n.find(field);
    return v && v->asString() && *v->asString() == text;
  });
}

const Value* findNode(const Value& node, const std::string& id) {
  auto found = findWith(node, "id", id);
  return found.empty() ? nullptr : found.front();
}

std::vector<const Value*> findNodes(const Value& node, const std::string& prefix) {
  return findAll(node, [&](const Value& n) {
    const Value* v = n.find("id");
    return v && v->asString() && v->asString()->starts_with(prefix);
  });
}

Rect frameOf(const Value& node) {
  const auto& f = *node.find("frame")->asArray();
  return Rect(*f[0].numberAsReal(), *f[1].numberAsReal(), *f[2].numberAsReal(), *f[3].numberAsReal());
}

}  // namespace vexa::test
