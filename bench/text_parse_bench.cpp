// Finding emoji codes in a 64 MiB chat corpus (mostly text, Chinese and
// ASCII, a code every few lines, stray brackets): the linear scanner and the
// full parse against RE2 and std::regex with the same pattern, and against a
// bare memchr for "[" as the ceiling. Every contender must find the same
// matches; each reports its time as a ratio to the memchr pass of this run
// ("x_memchr").
#include <benchmark/benchmark.h>
#include <re2/re2.h>

#include <chrono>
#include <cstring>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "vexa/text/EmojiCodeScanner.h"
#include "vexa/text/VXTextParser.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kCorpusBytes = 64u << 20;
const char* const kPattern = R"(\[([^\[\]]+)\])";

const std::string& corpus() {
  static const std::string text = [] {
    const std::vector<std::string> words = {"你好", "今天", "晚上", "一起", "吃饭", "hello", "ok", "see you",
                                            "哈哈", "明天见", "lol", "what", "好的", "收到", "[", "]"};
    const std::vector<std::string> codes = {"[微笑]", "[大哭]", "[smile]", "[cry]", "[doge]", "[赞]", "[unknown]"};
    std::mt19937 random(42);
    std::string out;
    out.reserve(kCorpusBytes + 64);
    while (out.size() < kCorpusBytes) {
      size_t n = 4 + random() % 20;
      for (size_t i = 0; i < n; ++i) {
        auto pick = random() % 100;
        // Stray brackets are rare; the words list holds them at the end.
        out += words[pick < 2 ? 14 + pick : random() % 14];
        out += ' ';
      }
      if (random() % 3 == 0) out += codes[random() % codes.size()];
      out += '\n';
    }
    out.resize(kCorpusBytes);
    return out;
  }();
  return text;
}

double& baselineSeconds() {
  static double seconds = 0;
  return seconds;
}

size_t expectedMatches() {
  static const size_t count = vexa::EmojiCodeScanner::findAll(corpus()).size();
  return count;
}

// Times the body per iteration and reports bytes/s and the ratio to memchr.
template <typename Body>
void run(benchmark::State& state, Body body, bool isBaseline = false) {
  const auto& text = corpus();
  double total = 0;
  size_t found = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    found = body(text);
    total += std::chrono::duration<double>(Clock::now() - start).count();
    benchmark::DoNotOptimize(found);
  }
  double perIteration = total / static_cast<double>(state.iterations());
  if (isBaseline) baselineSeconds() = perIteration;
  if (!isBaseline && found != expectedMatches()) state.SkipWithError("found other matches than the scanner");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["matches"] = static_cast<double>(found);
  if (baselineSeconds() > 0) state.counters["x_memchr"] = perIteration / baselineSeconds();
}

void BM_MemchrOpenBracket(benchmark::State& state) {
  run(state, [](const std::string& text) {
    size_t count = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while ((p = static_cast<const char*>(std::memchr(p, '[', end - p))) != nullptr) {
      ++count;
      ++p;
    }
    return count;
  }, true);
}

void BM_Scanner(benchmark::State& state) {
  run(state, [](const std::string& text) {
    size_t count = 0;
    vexa::EmojiCodeScanner scanner(text);
    while (scanner.next()) ++count;
    return count;
  });
}

void BM_ParseGenerate(benchmark::State& state) {
  vexa::VXTextParser::Emojis known;
  for (const char* code : {"微笑", "大哭", "smile", "cry", "doge", "赞"}) {
    auto e = std::make_shared<vexa::VXEmoji>();
    e->setEmojiCode(code);
    known.push_back(e);
  }
  run(state, [&](const std::string& text) {
    auto elements = vexa::VXTextParser::generateTextImageArrayFromVXText(text, known);
    size_t emojis = 0, bracketed = 0;
    for (const auto& e : elements) {
      if (std::holds_alternative<std::shared_ptr<vexa::VXEmoji>>(e)) ++emojis;
      else if (const auto& s = std::get<std::string>(e); s.size() >= 3 && s.front() == '[' && s.back() == ']') ++bracketed;
    }
    // Unknown codes stand as their own bracketed pieces; together they are all matches.
    return emojis + bracketed;
  });
}

void BM_RE2(benchmark::State& state) {
  RE2 pattern(kPattern);
  run(state, [&](const std::string& text) {
    size_t count = 0;
    re2::StringPiece input(text);
    re2::StringPiece code;
    while (RE2::FindAndConsume(&input, pattern, &code)) ++count;
    return count;
  });
}

void BM_StdRegex(benchmark::State& state) {
  const std::regex pattern(kPattern);
  run(state, [&](const std::string& text) {
    size_t count = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) ++count;
    return count;
  });
}

}  // namespace

BENCHMARK(BM_MemchrOpenBracket)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Scanner)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ParseGenerate)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_RE2)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_StdRegex)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
