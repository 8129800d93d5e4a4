// The built program on large and hostile case files, made by the test in its
// scratch folder and removed with it: 100 MB of blank lines, a 100 MB
// comment, a 100 MB value, a quoted title that never closes, ten million
// commas, and repeat counts at the edge of 32 bits. Each must end with the
// result the reader's rules give it, within a time that only a linear scan
// can keep, and in a fixed amount of memory far below the input's size.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/failure.h"
#include "support/child-process.h"
#include "support/scratch-folder.h"
#include "support/test-host.h"
#include "worked-example.h"

namespace trovel {
namespace {

using test::readBytes;
using test::reportOf;

constexpr const char* kCaseFile = "caso.txt";
constexpr std::size_t kLarge = 100'000'000;

// Streams a case file to disk without holding it in memory.
class CaseWriter {
 public:
  explicit CaseWriter(const char* name) : out_(name, std::ios::binary | std::ios::trunc) {}
  CaseWriter& add(std::string_view bytes) {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return *this;
  }
  // `piece` over and over, `total` bytes in all.
  CaseWriter& repeat(std::string_view piece, std::size_t total) {
    std::string block;
    while (block.size() < (1 << 20)) block += piece;
    block.resize(block.size() - block.size() % piece.size());
    for (std::size_t left = total; left > 0;) {
      const std::size_t n = std::min(left, block.size());
      add(std::string_view(block).substr(0, n));
      left -= n;
    }
    return *this;
  }
  ~CaseWriter() { EXPECT_TRUE(out_.good()) << "the case file could not be written"; }

 private:
  std::ofstream out_;
};

// The lines of the worked example's case file, each with its line end.
std::vector<std::string> exampleLines() {
  const std::string data = test::workedExampleCase();
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < data.size();) {
    const std::size_t end = data.find('\n', start) + 1;
    lines.push_back(data.substr(start, end - start));
    start = end;
  }
  return lines;
}

// The example's report with line `number` (from 1) replaced.
std::string reportWithLine(std::size_t number, const std::string& line) {
  std::vector<std::string> lines = test::linesOf(test::goldenReport());
  lines.at(number - 1) = line;
  std::string report;
  for (const std::string& l : lines) report += l + "\r\n";
  return report;
}

struct HostileCase {
  std::string name;
  // Writes the case file.
  std::function<void()> write;
  int status;
  std::string standardError;
  std::optional<std::string> reportName;  // none: no report may be written
  std::function<std::string()> report;
  std::uintmax_t leastBytes = 0;  // the case file is at least this long
};

void PrintTo(const HostileCase& hostile, std::ostream* out) {
  *out << hostile.name;
}

// Writes the example with line `index` (from 0) replaced by what `hostile` writes.
std::function<void()> exampleWith(std::size_t index, std::function<void(CaseWriter&)> hostile) {
  return [index, hostile] {
    const std::vector<std::string> lines = exampleLines();
    CaseWriter out(kCaseFile);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i == index) {
        hostile(out);
      } else {
        out.add(lines[i]);
      }
    }
  };
}

const std::string kTitleLine =
    " T\xED"
    "tulo = ";
constexpr std::size_t kG = 1;  // the line of g
constexpr std::size_t kTitle = 9;

std::vector<HostileCase> hostileCases() {
  const std::string noReport;
  return {
      {"BlankLinesBeforeAValue",
       exampleWith(kG,
                   [](CaseWriter& out) {
                     out.repeat("\t" + std::string(61, ' ') + "\r\n", kLarge).add("9.81\r\n");
                   }),
       0, "", test::kExampleReport, test::goldenReport, kLarge},
      {"CommentLineAfterAValue",
       exampleWith(
           kG, [](CaseWriter& out) { out.add("9.81 ").repeat("comentario ", kLarge).add("\r\n"); }),
       0, "", test::kExampleReport, test::goldenReport, kLarge},
      {"UnquotedTextValueKeepsItsFirstFiftyCharacters",
       exampleWith(0, [](CaseWriter& out) { out.repeat("a", kLarge).add("\r\n"); }), 0, "",
       std::string(50, 'a'), [] { return reportWithLine(4, " Caso   = " + std::string(50, 'a')); },
       kLarge},
      {"UnquotedNumberBeyondTheWorkAreaIsInvalid",
       exampleWith(kG, [](CaseWriter& out) { out.repeat("1", kLarge).add("\r\n"); }), 1,
       reportOf(FailureKind::InvalidNumber, Statement::Read, kCaseFile), std::nullopt, nullptr,
       kLarge},
      {"QuotedTitleThatNeverClosesEndsAtTheEndOfTheFile",
       exampleWith(kTitle,
                   [](CaseWriter& out) {
                     out.add(
                            "'Lan\xE7"
                            "amento sem fim\r\n")
                         .repeat("o titulo continua\r\n", kLarge);
                   }),
       1, reportOf(FailureKind::EndOfFile, Statement::Read, kCaseFile), std::nullopt, nullptr,
       kLarge},
      {"TenMillionCommasAreANullTitle",
       exampleWith(kTitle, [](CaseWriter& out) { out.repeat(",", 10'000'000).add("\r\n"); }), 0, "",
       test::kExampleReport, [] { return reportWithLine(6, kTitleLine + std::string(90, '\0')); },
       10'000'000},
      {"RepeatCountOfTheLargest32BitIntegerReadsItsValue",
       exampleWith(kG, [](CaseWriter& out) { out.add("2147483647*9.81   g\r\n"); }), 0, "",
       test::kExampleReport, test::goldenReport},
      {"RepeatCountOneBeyondIsAnIntegerOverflow",
       exampleWith(kG, [](CaseWriter& out) { out.add("2147483648*9.81   g\r\n"); }), 1,
       reportOf(FailureKind::IntegerOverflow, Statement::Read, kCaseFile), std::nullopt, nullptr},
  };
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The program needs a few MB of its own whatever it reads (about 10 MB with
// Wine's own share); the sanitizers' shadow memory and allocator add more. On
// Linux the figure also holds the resident size of this test process, which
// the child shares until it starts the program. All stay far below the
// 100 MB that a program holding its input would need.
constexpr std::size_t kMemoryBound = (kSanitized ? 64 : 24) * std::size_t{1 << 20};
// A linear scan of 100 MB takes a second or two, also under the sanitizers
// or Wine; a scan that went back over what it read would not end in this.
constexpr auto kTimeBound = std::chrono::seconds(60);

class LargeInput : public ::testing::TestWithParam<HostileCase> {
 protected:
  test::ScratchFolder folder;
};

TEST_P(LargeInput, EndsWithItsDefinedResultInLinearTimeAndBoundedMemory) {
  const HostileCase& hostile = GetParam();
  test::writeBytes(test::kIndexFile, "caso.txt\r\n");
  hostile.write();
  ASSERT_GE(std::filesystem::file_size(kCaseFile), hostile.leastBytes);

  const auto start = std::chrono::steady_clock::now();
  const test::ChildResult result = test::runChild(
      {test::trovelPath(), {}, folder.path(), {{"COMSPEC", "trovel-no-such-interpreter"}}});
  const auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_EQ(result.exitCode, hostile.status);
  EXPECT_EQ(result.standardError, hostile.standardError);
  EXPECT_EQ(result.standardOutput, "");
  if (hostile.reportName) {
    ASSERT_TRUE(std::filesystem::exists(*hostile.reportName));
    EXPECT_EQ(readBytes(*hostile.reportName), hostile.report());
  }
  // The index file, the case file, and the report where there is one.
  const auto files = std::distance(std::filesystem::directory_iterator("."),
                                   std::filesystem::directory_iterator());
  EXPECT_EQ(files, hostile.reportName ? 3 : 2);

  EXPECT_LT(elapsed, kTimeBound);
  ASSERT_TRUE(result.peakMemoryBytes) << "the system tells the peak memory of a child";
  EXPECT_LT(*result.peakMemoryBytes, kMemoryBound) << "peak resident size of the program";
  RecordProperty("peak_memory_bytes", std::to_string(*result.peakMemoryBytes));
  RecordProperty(
      "milliseconds",
      std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
}

INSTANTIATE_TEST_SUITE_P(HostileCases, LargeInput, ::testing::ValuesIn(hostileCases()),
                         [](const ::testing::TestParamInfo<HostileCase>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace trovel
