#include "ScriptParser.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "vexa/platform/JsonCodec.h"
#include "vexa/platform/Utf8.h"

namespace vexa::tool::ui {

namespace {

constexpr const char* kDomain = "VXUiScriptErrorDomain";

Error bad(std::string why) { return Error(kDomain, 1, std::move(why)); }

struct Word {
  std::string text;
  bool quoted = false;
};

bool isSpace(char c) { return c == ' ' || c == '\t'; }

// A quoted word: the JSON string from `start` (its opening quote) to its
// closing quote. Advances `i` past it.
Result<Word> quotedWord(std::string_view line, size_t& i) {
  size_t j = i + 1;
  while (j < line.size() && line[j] != '"') j += line[j] == '\\' ? 2 : 1;
  if (j >= line.size()) return bad("a quoted word has no closing quote");
  auto json = JsonCodec::parse(line.substr(i, j + 1 - i));
  if (!json.ok()) return bad("bad quoted word: " + json.error().description());
  i = j + 1;
  if (i < line.size() && !isSpace(line[i])) return bad("a space must follow a quoted word");
  return Word{*json->asString(), true};
}

Result<std::vector<Word>> splitWords(std::string_view line) {
  std::vector<Word> words;
  size_t i = 0;
  for (;;) {
    while (i < line.size() && isSpace(line[i])) ++i;
    if (i == line.size()) return words;
    if (line[i] == '"') {
      auto word = quotedWord(line, i);
      if (!word.ok()) return word.error();
      words.push_back(std::move(*word));
      continue;
    }
    size_t start = i;
    while (i < line.size() && !isSpace(line[i])) ++i;
    std::string_view text = line.substr(start, i - start);
    if (text.find('"') != std::string_view::npos) return bad("a quote inside a word (quote the whole word)");
    if (!Utf8::isValid(text)) return bad("a word is not UTF-8");
    words.push_back(Word{std::string(text), false});
  }
}

Result<double> number(const Word& word) {
  double value = 0;
  const char* end = word.text.data() + word.text.size();
  auto [ptr, ec] = std::from_chars(word.text.data(), end, value);
  if (word.quoted || ec != std::errc() || ptr != end || !std::isfinite(value))
    return bad("\"" + word.text + "\" is not a number");
  return value;
}

Result<double> seconds(const Word& word) {
  auto value = number(word);
  if (!value.ok()) return value;
  if (*value < 0 || *value > ScriptParser::kMaxSeconds) return bad("SECONDS must be from 0 to 3600");
  return value;
}

// What follows a step's name.
enum class Shape { Nothing, Target, TargetSeconds, Drag, Text, Seconds, OptionalSeconds, Key, OnOff };

struct StepSyntax {
  const char* name;
  StepKind kind;
  Shape shape;
  const char* usage;
};

constexpr StepSyntax kSyntaxes[] = {
    {"attach", StepKind::Attach, Shape::Nothing, "attach"},
    {"detach", StepKind::Detach, Shape::Nothing, "detach"},
    {"focus", StepKind::Focus, Shape::Nothing, "focus"},
    {"tap", StepKind::Tap, Shape::Target, "tap TARGET"},
    {"press", StepKind::Press, Shape::TargetSeconds, "press TARGET SECONDS"},
    {"hold", StepKind::Hold, Shape::TargetSeconds, "hold TARGET SECONDS"},
    {"release", StepKind::Release, Shape::Nothing, "release"},
    {"drag", StepKind::Drag, Shape::Drag, "drag X1 Y1 X2 Y2 SECONDS"},
    {"type", StepKind::Type, Shape::Text, "type \"TEXT\""},
    {"key", StepKind::Key, Shape::Key, "key backspace|return"},
    {"wait", StepKind::Wait, Shape::Seconds, "wait SECONDS"},
    {"settle", StepKind::Settle, Shape::OptionalSeconds, "settle [SECONDS]"},
    {"shop", StepKind::Shop, Shape::Nothing, "shop"},
    {"emoji", StepKind::Emoji, Shape::Text, "emoji \"CODE\""},
    {"mine", StepKind::Mine, Shape::Nothing, "mine"},
    {"favourites", StepKind::Favourites, Shape::Nothing, "favourites"},
    {"tips", StepKind::Tips, Shape::OnOff, "tips on|off"},
    {"back", StepKind::Back, Shape::Nothing, "back"},
    {"shot", StepKind::Shot, Shape::Text, "shot FILE"},
    {"tree", StepKind::Tree, Shape::Nothing, "tree"},
    {"input", StepKind::Input, Shape::Nothing, "input"},
};

// Reads a TARGET at `words[at]`; returns how many words it took.
Result<size_t> target(const std::vector<Word>& words, size_t at, ScriptStep& step) {
  if (at < words.size() && words[at].quoted) {
    if (words[at].text.empty()) return bad("an empty TARGET matches nothing");
    step.target = Target{std::nullopt, words[at].text};
    return size_t{1};
  }
  if (at + 1 >= words.size()) return bad("TARGET is two numbers X Y or a quoted string");
  auto x = number(words[at]);
  if (!x.ok()) return x.error();
  auto y = number(words[at + 1]);
  if (!y.ok()) return y.error();
  step.target = Target{Point{*x, *y}, {}};
  return size_t{2};
}

Status readArguments(const StepSyntax& syntax, const std::vector<Word>& words, ScriptStep& step) {
  const size_t n = words.size() - 1;  // after the name
  auto usage = [&syntax] { return bad(std::string("usage: ") + syntax.usage); };
  switch (syntax.shape) {
    case Shape::Nothing:
      return n == 0 ? Status::Ok() : usage();
    case Shape::Target:
    case Shape::TargetSeconds: {
      if (n == 0) return usage();
      auto used = target(words, 1, step);
      if (!used.ok()) return used.error();
      size_t rest = n - *used;
      if (syntax.shape == Shape::Target) return rest == 0 ? Status::Ok() : usage();
      if (rest != 1) return usage();
      auto s = seconds(words.back());
      if (!s.ok()) return s.error();
      step.numbers.push_back(*s);
      return Status::Ok();
    }
    case Shape::Drag: {
      if (n != 5) return usage();
      for (size_t i = 1; i <= 4; ++i) {
        auto v = number(words[i]);
        if (!v.ok()) return v.error();
        step.numbers.push_back(*v);
      }
      auto s = seconds(words[5]);
      if (!s.ok()) return s.error();
      step.numbers.push_back(*s);
      return Status::Ok();
    }
    case Shape::Text:
      if (n != 1) return usage();
      if (syntax.kind != StepKind::Type && words[1].text.empty()) return usage();
      step.word = words[1].text;
      return Status::Ok();
    case Shape::Seconds:
    case Shape::OptionalSeconds: {
      if (n == 0 && syntax.shape == Shape::OptionalSeconds) return Status::Ok();
      if (n != 1) return usage();
      auto s = seconds(words[1]);
      if (!s.ok()) return s.error();
      step.numbers.push_back(*s);
      return Status::Ok();
    }
    case Shape::Key:
    case Shape::OnOff: {
      bool key = syntax.shape == Shape::Key;
      if (n != 1 || words[1].quoted) return usage();
      const std::string& w = words[1].text;
      if (key ? (w != "backspace" && w != "return") : (w != "on" && w != "off")) return usage();
      step.word = w;
      return Status::Ok();
    }
  }
  return usage();
}

}  // namespace

Result<std::optional<ScriptStep>> ScriptParser::parseLine(std::string_view line, int number) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos || line[first] == '#') return std::optional<ScriptStep>();
  auto words = splitWords(line);
  if (!words.ok()) return words.error();
  const Word& name = words->front();
  for (const StepSyntax& syntax : kSyntaxes) {
    if (name.quoted || name.text != syntax.name) continue;
    ScriptStep step;
    step.line = number;
    step.kind = syntax.kind;
    step.name = syntax.name;
    if (Status read = readArguments(syntax, *words, step); !read.ok()) return read.error();
    return std::optional<ScriptStep>(std::move(step));
  }
  return bad("unknown step \"" + name.text + "\"");
}

Result<std::vector<ScriptStep>> ScriptParser::parseScript(std::string_view script) {
  std::vector<ScriptStep> steps;
  int number = 0;
  for (size_t pos = 0; pos <= script.size();) {
    size_t end = std::min(script.find('\n', pos), script.size());
    auto step = parseLine(script.substr(pos, end - pos), ++number);
    if (!step.ok())
      return Error(step.error().domain(), step.error().code(),
                   "line " + std::to_string(number) + ": " + step.error().description());
    if (*step) steps.push_back(std::move(**step));
    pos = end + 1;
  }
  return steps;
}

}  // namespace vexa::tool::ui
