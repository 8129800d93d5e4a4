// The report's number field against its floor: std::to_chars of the same
// doubles with 17 significant digits, which the field is made from.

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cmath>
#include <random>
#include <vector>

#include "report/number-field.h"

namespace trovel::bench {
namespace {

// Values of the sizes a report shows, of both signs, with full mantissas,
// and a few short ones as the case files give them.
const std::vector<double>& values() {
  static const std::vector<double> made = [] {
    std::vector<double> values = {9.79, 4.1, 12.6, 80, 41.5, 35, 15, 110, -60, 0.0};
    std::mt19937_64 random(20081101);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    while (values.size() < 4096) {
      const double sign = values.size() % 3 == 0 ? -1.0 : 1.0;
      values.push_back(sign * mantissa(random) * std::pow(10.0, exponent(random)));
    }
    return values;
  }();
  return made;
}

void FormatNumberField(benchmark::State& state) {
  for (auto _ : state) {
    for (const double value : values()) {
      NumberField field = numberField(value);
      benchmark::DoNotOptimize(field);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values().size()));
}

void FormatNumberFieldFloor(benchmark::State& state) {
  for (auto _ : state) {
    for (const double value : values()) {
      std::array<char, 32> text;
      const auto written = std::to_chars(text.data(), text.data() + text.size(), value,
                                         std::chars_format::scientific, 16);
      benchmark::DoNotOptimize(text);
      benchmark::DoNotOptimize(written.ptr);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values().size()));
}

BENCHMARK(FormatNumberField)->Unit(benchmark::kMicrosecond);
BENCHMARK(FormatNumberFieldFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace trovel::bench
