#include "report/report-writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/example-case.h"
#include "support/test-host.h"

namespace trovel {
namespace {

using namespace std::string_literals;
using test::exitStatusOf;
using test::readBytes;
using test::writeBytes;

// The case of the worked example, with its derived beta.
CaseData exampleCase() {
  CaseData data = test::reportExampleCase();
  data.beta = -60;
  return data;
}

void writeBlocksUpToMethodB(ReportWriter& report, const CaseData& data) {
  report.open(data.caso);
  report.writeHeader(data);
  report.writeIdealMethod1(122.625);
  report.writeIdealMethod2(78.48);
  report.writeMethodA(57.7350269189626);
  report.writeMethodB(66.1437827766148, 12.5, -21.6506350946110, 114.564392373896);
}

void writeWholeReport(ReportWriter& report, const CaseData& data) {
  writeBlocksUpToMethodB(report, data);
  report.writeMethodC(64.2910050732864, 10, -17.3205080756888, 111.355287256600);
  report.writeDefinitions();
  report.close();
}

std::string golden() {
  return readBytes(TROVEL_REPORT_DATA "/Voo01_saida.txt");
}

std::vector<std::string> linesOf(const std::string& file) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < file.size();) {
    const std::size_t end = file.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "the file does not end with CR LF";
      break;
    }
    lines.push_back(file.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

TEST(ReportWriter, WorkedExampleGivesTheGoldenFileByteForByte) {
  struct Row {
    const char* what;
    std::size_t maxWriteBytes;
    std::string oldFile;  // empty: no file before the run
  };
  const Row rows[] = {
      {"a new file", SIZE_MAX, ""},
      {"three bytes a transfer", 3, ""},
      {"an existing longer file", SIZE_MAX, std::string(5000, 'v') + "\r\n"},
  };
  ASSERT_EQ(linesOf(golden()).size(), 62u);
  for (const Row& row : rows) {
    test::TestHost host;
    if (!row.oldFile.empty()) writeBytes("Voo01_saida.txt", row.oldFile);
    host.os.maxWriteBytes = row.maxWriteBytes;
    ReportWriter report(host.units);
    writeWholeReport(report, exampleCase());
    EXPECT_FALSE(host.units.isConnected(ReportWriter::kUnit));
    EXPECT_EQ(readBytes("Voo01_saida.txt"), golden()) << row.what;
    EXPECT_EQ(host.os.standardError, "");
  }
}

// A failure after method B leaves the blocks written so far in the file: each
// was complete in the buffer, and the closing step at exit writes it out.
TEST(ReportWriter, FailureLaterInTheRunKeepsTheBlocksWrittenBeforeIt) {
  test::TestHost host;
  ReportWriter report(host.units);
  writeBlocksUpToMethodB(report, exampleCase());
  EXPECT_EQ(exitStatusOf([&] {
              host.failures.raiseMathFailure(FailureKind::DivideByZero,
                                             "floating-point error: divide by zero");
            }),
            1);
  const std::vector<std::string> lines = linesOf(golden());
  std::string first46;
  for (std::size_t i = 0; i < 46; ++i) first46 += lines[i] + "\r\n";
  EXPECT_EQ(readBytes("Voo01_saida.txt"), first46);
}

// Lines 4 and 6 of a report with the given case name and title.
std::pair<std::string, std::string> nameAndTitleLines(const FixedText<50>& caso,
                                                      const FixedText<90>& titulo) {
  test::TestHost host;
  CaseData data = exampleCase();
  data.caso = caso;
  data.titulo = titulo;
  ReportWriter report(host.units);
  report.open(test::blankPadded<50>("r.txt"));
  report.writeHeader(data);
  report.close();
  const std::vector<std::string> lines = linesOf(readBytes("r.txt"));
  EXPECT_EQ(lines.size(), 22u);
  if (lines.size() < 6) return {};
  return {lines[3], lines[5]};
}

TEST(ReportWriter, CaseNameAndTitleAreStrippedAndOtherwiseCopiedUnchanged) {
  const std::string title90 = "T" + std::string(88, '\xF1') + "Z";
  struct Row {
    FixedText<50> caso;
    FixedText<90> titulo;
    std::string line4;
    std::string line6;
  };
  const Row rows[] = {
      {test::blankPadded<50>(""), test::blankPadded<90>(""), " Caso   = ",
       " T\xED"
       "tulo = "},
      {test::blankPadded<50>("  voo 1  .txt"), test::blankPadded<90>("   um  dois\ttr\xEAs "),
       " Caso   = voo 1  .txt",
       " T\xED"
       "tulo = um  dois\ttr\xEAs"},
      {test::blankPadded<50>(title90.substr(0, 50)), test::blankPadded<90>(title90),
       " Caso   = " + title90.substr(0, 50),
       " T\xED"
       "tulo = " +
           title90},
      // Fields that no read has filled hold zero bytes, which are text.
      {FixedText<50>{}, test::blankPadded<90>("a\0b"s), " Caso   = " + std::string(50, '\0'),
       " T\xED"
       "tulo = a\0b"s},
  };
  for (const Row& row : rows) {
    const auto [line4, line6] = nameAndTitleLines(row.caso, row.titulo);
    EXPECT_EQ(line4, row.line4);
    EXPECT_EQ(line6, row.line6);
  }
  EXPECT_EQ(
      nameAndTitleLines(test::blankPadded<50>(""), test::blankPadded<90>(title90)).second.size(),
      100u);
  EXPECT_EQ(nameAndTitleLines(test::blankPadded<50>(""), test::blankPadded<90>("")).first.size(),
            10u);
}

}  // namespace
}  // namespace trovel
