// Runs the benchmarks, each beside its floor, and ends with a summary: the
// ratio of each benchmark's median processor time to its floor's, measured in
// the same run, against its budget. Repetitions of all benchmarks are
// interleaved at random, so that a change of load on the machine falls on a
// benchmark and its floor alike. The exit status is 1 when a budget is missed.
//
// Further Google Benchmark options may follow on the command line; the
// defaults below come first, so that they can be overridden.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench-folder.h"

namespace {

struct FloorPair {
  const char* benchmark;
  const char* floor;
  double budget;  // the largest ratio of times allowed; 0 for none
  const char* what;
};

constexpr FloorPair kPairs[] = {
    {"ScanCommentLine", "ScanCommentLineFloor", 2.0, "reader, long comment line"},
    {"ScanBlankLinesCrLf", "ScanBlankLinesCrLfFloor", 2.0, "reader, empty lines, CR LF"},
    {"ScanBlankLinesLf", "ScanBlankLinesLfFloor", 2.0, "reader, empty lines, LF"},
    {"ScanBlankLinesOfBlanks", "ScanBlankLinesOfBlanksFloor", 2.0, "reader, lines of blanks"},
    {"ReadCaseFile", "ReadCaseFileFloor", 0.0, "reader, the ten values of a case"},
    {"FormatNumberField", "FormatNumberFieldFloor", 3.0, "number field"},
    {"WriteReport", "WriteReportFloor", 0.0, "report to NUL"},
};

// The console's report, keeping each benchmark's median processor time.
class FloorReporter : public benchmark::ConsoleReporter {
 public:
  FloorReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (median || single) {
        seconds_[run.run_name.function_name] =
            run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      }
    }
  }

  // Prints the ratios; false when a budget is missed.
  bool summarize() const {
    std::printf("\n%-34s %12s %12s %8s %8s\n", "ratio to the floor (cpu time)", "benchmark",
                "floor", "ratio", "budget");
    bool met = true;
    for (const FloorPair& pair : kPairs) {
      const auto benchmark = seconds_.find(pair.benchmark);
      const auto floor = seconds_.find(pair.floor);
      if (benchmark == seconds_.end() || floor == seconds_.end()) continue;
      const double ratio = benchmark->second / floor->second;
      const bool within = pair.budget == 0 || ratio <= pair.budget;
      met = met && within;
      std::printf("%-34s %10.3fus %10.3fus %8.2f ", pair.what, benchmark->second * 1e6,
                  floor->second * 1e6, ratio);
      if (pair.budget == 0) {
        std::printf("%8s\n", "-");
      } else {
        std::printf("%8.2f %s\n", pair.budget, within ? "met" : "MISSED");
      }
    }
    return met;
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> arguments = {argv[0]};
  std::string defaults[] = {"--benchmark_repetitions=9",
                            "--benchmark_enable_random_interleaving=true",
                            "--benchmark_display_aggregates_only=true"};
  for (std::string& option : defaults) arguments.push_back(option.data());
  for (int i = 1; i < argc; ++i) arguments.push_back(argv[i]);
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 2;

  const trovel::bench::BenchFolder folder;
  FloorReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const bool met = reporter.summarize();
  benchmark::Shutdown();
  return met ? 0 : 1;
}
