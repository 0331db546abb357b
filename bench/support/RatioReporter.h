// A console reporter that ends with each benchmark's time over the baseline's
// of the same run, so numbers from different machines can be compared.
#pragma once

#include <benchmark/benchmark.h>

#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vexa::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  enum class Clock { kReal, kCpu };

  explicit RatioReporter(std::string baseline, Clock clock = Clock::kReal)
      : baseline_(std::move(baseline)), clock_(clock) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      times_[run.benchmark_name()] =
          clock_ == Clock::kCpu ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    auto base = times_.find(baseline_);
    if (base == times_.end() || base->second <= 0) return;
    const char* label = clock_ == Clock::kCpu ? "ratio (CPU) " : "ratio ";
    for (const auto& [name, time] : times_) {
      if (name != baseline_) std::cout << label << name << " / " << baseline_ << " = " << time / base->second << "\n";
    }
  }

 private:
  std::string baseline_;
  Clock clock_;
  std::map<std::string, double> times_;
};

// Runs the benchmarks named on the command line with a RatioReporter.
inline int runWithRatios(int argc, char** argv, std::string baseline,
                         RatioReporter::Clock clock = RatioReporter::Clock::kReal) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(std::move(baseline), clock);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace vexa::bench
