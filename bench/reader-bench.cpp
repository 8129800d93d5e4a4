// The value reader against the floor of reading: the same file read with
// 1024-byte reads through the same platform layer, each byte looked at once.

#include <benchmark/benchmark.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "bench-folder.h"
#include "host/connection.h"
#include "host/failure.h"
#include "host/platform.h"
#include "input/case-files.h"
#include "input/value-reader.h"

namespace trovel::bench {
namespace {

constexpr std::size_t kInputBytes = std::size_t{4} << 20;
constexpr int kUnit = 8;

Platform& os() {
  return systemPlatform(0, nullptr);
}

// A number, then a comment that fills the rest of its line.
std::string commentLine() {
  std::string bytes = "1.5 ";
  bytes.append(kInputBytes - bytes.size() - 1, 'x');
  bytes += '\n';
  return bytes;
}

// Blank lines, then a number on the last line.
std::string blankLines(std::string_view line) {
  std::string bytes;
  while (bytes.size() + line.size() + 4 <= kInputBytes) bytes += line;
  bytes += "1.5\n";
  return bytes;
}

std::string exampleCase() {
  std::ifstream file(TROVEL_EXAMPLES "/caso1.txt", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The floor: the whole file in 1024-byte reads, counting its line feeds.
std::size_t lineFeedsOf(const std::string& name) {
  const Opened opened = os().openFile(name, Access::Read, Disposition::OpenExisting);
  if (opened.error != OsError::None) std::abort();
  std::array<char, 1024> buffer;
  std::size_t lineFeeds = 0;
  for (;;) {
    const Transfer read = os().readFile(opened.handle, buffer);
    if (read.error != OsError::None) std::abort();
    if (read.count == 0) break;
    for (std::size_t i = 0; i < read.count; ++i) lineFeeds += buffer[i] == '\n';
  }
  os().closeFile(opened.handle);
  return lineFeeds;
}

void scanFloor(benchmark::State& state, const std::string& name, std::size_t bytes) {
  for (auto _ : state) benchmark::DoNotOptimize(lineFeedsOf(name));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// One real read from the file, as the program makes it: connect, read, close.
void scanOneValue(benchmark::State& state, const std::string& name, std::size_t bytes) {
  for (auto _ : state) {
    Failures failures(os());
    Units units(os(), failures);
    units.openUnit(kUnit, name);
    double value = 0;
    readReal(units, kUnit, value);
    units.closeUnit(kUnit);
    benchmark::DoNotOptimize(value);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

struct Input {
  std::string name;
  std::size_t bytes;
};

Input input(const char* name, const std::string& bytes) {
  return Input{writeInput(name, bytes), bytes.size()};
}

const Input& commentInput() {
  static const Input made = input("comment.txt", commentLine());
  return made;
}
const Input& crLfInput() {
  static const Input made = input("crlf.txt", blankLines("\r\n"));
  return made;
}
const Input& lfInput() {
  static const Input made = input("lf.txt", blankLines("\n"));
  return made;
}
const Input& blanksInput() {
  static const Input made = input("blanks.txt", blankLines("        \r\n"));
  return made;
}
const Input& caseInput() {
  static const Input made = input("caso1.txt", exampleCase());
  return made;
}

void ScanCommentLine(benchmark::State& state) {
  scanOneValue(state, commentInput().name, commentInput().bytes);
}
void ScanCommentLineFloor(benchmark::State& state) {
  scanFloor(state, commentInput().name, commentInput().bytes);
}
void ScanBlankLinesCrLf(benchmark::State& state) {
  scanOneValue(state, crLfInput().name, crLfInput().bytes);
}
void ScanBlankLinesCrLfFloor(benchmark::State& state) {
  scanFloor(state, crLfInput().name, crLfInput().bytes);
}
void ScanBlankLinesLf(benchmark::State& state) {
  scanOneValue(state, lfInput().name, lfInput().bytes);
}
void ScanBlankLinesLfFloor(benchmark::State& state) {
  scanFloor(state, lfInput().name, lfInput().bytes);
}
void ScanBlankLinesOfBlanks(benchmark::State& state) {
  scanOneValue(state, blanksInput().name, blanksInput().bytes);
}
void ScanBlankLinesOfBlanksFloor(benchmark::State& state) {
  scanFloor(state, blanksInput().name, blanksInput().bytes);
}

// The ten values of the example case, as the run reads them.
void ReadCaseFile(benchmark::State& state) {
  FixedText<50> name;
  name.bytes.fill(' ');
  caseInput().name.copy(name.bytes.data(), name.bytes.size());
  for (auto _ : state) {
    Failures failures(os());
    Units units(os(), failures);
    CaseData data;
    loadCase(units, name, data);
    benchmark::DoNotOptimize(data);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * 10));
}
void ReadCaseFileFloor(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(lineFeedsOf(caseInput().name));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * 10));
}

BENCHMARK(ScanCommentLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScanCommentLineFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScanBlankLinesCrLf)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScanBlankLinesCrLfFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScanBlankLinesLf)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScanBlankLinesLfFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScanBlankLinesOfBlanks)->Unit(benchmark::kMicrosecond);
BENCHMARK(ScanBlankLinesOfBlanksFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadCaseFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadCaseFileFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace trovel::bench
