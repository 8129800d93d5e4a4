// One whole report written to the null device through the report writer,
// against the floor's report of the same shape: 62 lines with 20 numbers by
// std::to_chars, written to the same device in chunks of the same size as
// the device's connection takes (132 bytes).

#include <benchmark/benchmark.h>

#include <array>
#include <span>
#include <string_view>

#include "floor-report.h"
#include "host/connection.h"
#include "host/failure.h"
#include "host/platform.h"
#include "report/report-writer.h"
#include "support/example-case.h"

namespace trovel::bench {
namespace {

constexpr std::size_t kDeviceChunk = 132;

Platform& os() {
  return systemPlatform(0, nullptr);
}

// The worked example's values, written to NUL.
struct Example {
  CaseData data;
  ApogeeEstimates b;
  ApogeeEstimates c;
};

Example example() {
  Example e;
  e.data = test::reportExampleCase();
  e.data.caso = test::blankPadded<50>("NUL");
  e.data.beta = -60;
  e.b = {122.625, 78.48, 57.7350269189626,  66.1437827766148,
         0,       12.5,  -21.6506350946110, 114.564392373896};
  e.c = {122.625,          78.48, 57.7350269189626,  66.1437827766148,
         64.2910050732864, 10,    -17.3205080756888, 111.355287256600};
  return e;
}

void WriteReport(benchmark::State& state) {
  const Example e = example();
  for (auto _ : state) {
    Failures failures(os());
    Units units(os(), failures);
    ReportWriter report(units);
    report.open(e.data.caso);
    report.writeHeader(e.data);
    report.writeIdealMethod1(e.b.Hi1);
    report.writeIdealMethod2(e.b.Hi2);
    report.writeMethodA(e.b.HA);
    report.writeMethodB(e.b.HB, e.b.x, e.b.y, e.b.OH2);
    report.writeMethodC(e.c.HC, e.c.x, e.c.y, e.c.OH2);
    report.writeDefinitions();
    report.close();
  }
}

void WriteReportFloor(benchmark::State& state) {
  const Example e = example();
  const std::array<double, kFloorNumbers> numbers = {
      e.data.g,      e.data.tH,   e.data.tI, e.data.LO, e.data.alfa, e.data.LI, e.data.gama,
      e.data.lambda, e.data.beta, e.b.Hi1,   e.b.Hi2,   e.b.HA,      e.b.HB,    e.b.x,
      e.b.y,         e.b.OH2,     e.c.HC,    e.c.x,     e.c.y,       e.c.OH2};
  const std::string device = os().devicePath("NUL");
  for (auto _ : state) {
    const Opened opened = os().openFile(device, Access::Write, Disposition::OpenExisting);
    if (opened.error != OsError::None) std::abort();
    writeFloorReport<kDeviceChunk>(
        numbers, "NUL",
        "Lan\xE7"
        "amento de teste 1, motor B6-4",
        [&](std::span<const char> bytes) { (void)writeAll(os(), opened.handle, bytes); });
    os().closeFile(opened.handle);
  }
}

BENCHMARK(WriteReport)->Unit(benchmark::kMicrosecond);
BENCHMARK(WriteReportFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace trovel::bench
