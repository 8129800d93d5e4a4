// The built program, run as its users run it: in a folder of its own with the
// index file and a case file, the stand-in interpreter as COMSPEC, and every
// file, stream, command and the exit status checked afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/failure.h"
#include "support/child-process.h"
#include "support/scratch-folder.h"
#include "support/test-host.h"
#include "worked-example.h"

namespace trovel {
namespace {

using test::goldenReport;
using test::kIndexFile;
using test::linesOf;
using test::readBytes;
using test::reportOf;
using test::workedExampleCase;
using test::writeBytes;

class ProgramTest : public ::testing::Test {
 protected:
  test::ChildResult run(std::vector<std::string> arguments = {}) {
    const test::EnvironmentOverride interpreter(
        {{"COMSPEC", test::stubInterpreterPath()}, {"STUB_LOG", std::nullopt}});
    return test::runChild({test::trovelPath(), std::move(arguments), folder.path()});
  }

  // The command lines the interpreter received, in order.
  std::vector<std::string> commands() const {
    std::vector<std::string> lines;
    if (!std::filesystem::exists("stub-log.txt")) return lines;
    const std::string log = readBytes("stub-log.txt");
    std::size_t start = 0;
    for (std::size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(log.substr(start, end - start));
    }
    return lines;
  }

  static std::string command(std::string_view text) {
    return test::loggedCommandLine(test::stubInterpreterPath() + " /c " + std::string(text));
  }

  void expectCommands(const std::vector<std::string_view>& texts) const {
    std::vector<std::string> expected;
    for (const std::string_view text : texts) expected.push_back(command(text));
    EXPECT_EQ(commands(), expected);
  }

  test::ScratchFolder folder;
};

TEST_F(ProgramTest, WorkedExampleWritesTheGoldenReportAndOpensEachFileInTurn) {
  writeBytes(kIndexFile, "caso.txt\r\n");
  writeBytes("caso.txt", workedExampleCase());
  const test::ChildResult result = run();
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardOutput, "");
  EXPECT_EQ(result.standardError, "");
  EXPECT_EQ(readBytes("Voo01_saida.txt"), goldenReport());
  expectCommands({"Notepad Trovel_1p1_dados.txt", "notepad caso.txt", "notepad Voo01_saida.txt"});
}

TEST_F(ProgramTest, CaseFileExampleGivesTheEstimatesToSevenDigits) {
  writeBytes(kIndexFile, "caso1.txt   arquivo do caso\nsegunda linha ignorada\n");
  writeBytes("caso1.txt",
             "relatorio1.txt   caso\n9.81     g\n5.0      tH\n11.5     tI\n60       LO\n"
             "52.5     alfa\n25       LI\n30       gama\n120      lambda\n"
             "'Voo 3 do modelo X-1, campo norte'   titulo\n");
  const test::ChildResult result = run();
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  const std::vector<std::string> lines = linesOf(readBytes("relatorio1.txt"));
  ASSERT_EQ(lines.size(), 62u);
  const std::pair<std::size_t, std::string> expected[] = {
      {4, " Caso   = relatorio1.txt"},
      {6,
       " T\xED"
       "tulo = Voo 3 do modelo X-1, campo norte"},
      {22, "   9.000000E+01 = beta   = \xE2ngulo de azimute entre OL e LI (graus)"},
      {27, "   1.621716E+02 = Hi1 = trovel pelo m\xE9todo ideal 1 (m)"},
      {32, "   1.226250E+02 = Hi2 = trovel pelo m\xE9todo ideal 2 (m)"},
      {37, "   7.819352E+01 = HA = trovel pelo m\xE9todo A (m)"},
      {42, "   7.987241E+01 = HB = trovel pelo m\xE9todo B (m)"},
      // x is 12.5 times the cosine of the double nearest to pi/2, which is
      // 6.123233995736766E-17: the same digits on every system.
      {44, "                  7.654042E-16 = x   (m)"},
      {45, "                  1.250000E+01 = y   (m)"},
      {46, "                  6.128825E+01 = OH2 (m)"},
      {51, "   7.946627E+01 = HC = trovel pelo m\xE9todo C (m)"},
      {53, "                  6.655689E-16 = x   (m)"},
      {54, "                  1.086957E+01 = y   (m)"},
      {55, "                  6.097661E+01 = OH2 (m)"},
  };
  for (const auto& [number, line] : expected) EXPECT_EQ(lines[number - 1], line) << number;
  expectCommands({"Notepad Trovel_1p1_dados.txt", "notepad caso1.txt", "notepad relatorio1.txt"});
}

TEST_F(ProgramTest, BundledExampleGivesItsExpectedReport) {
  for (const char* file : {kIndexFile, "caso1.txt"}) {
    writeBytes(file, readBytes(std::string(TROVEL_SOURCE_DIR "/examples/") + file));
  }
  const test::ChildResult result = run();
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(readBytes("relatorio1.txt"), readBytes(TROVEL_TEST_DATA "/run/data/relatorio1.txt"));
}

TEST_F(ProgramTest, ZeroImpactTimeEndsInMethodCKeepingTheBlocksBeforeIt) {
  writeBytes(kIndexFile, "caso.txt\r\n");
  writeBytes("caso.txt", workedExampleCase("0"));
  const test::ChildResult result = run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardOutput, "");
  EXPECT_EQ(result.standardError,
            "\r\nrun-time error M6103: MATH\r\n- floating-point error: divide by zero\r\n");
  const std::vector<std::string> lines = linesOf(readBytes("Voo01_saida.txt"));
  const std::vector<std::string> golden = linesOf(goldenReport());
  ASSERT_EQ(lines.size(), 46u);
  EXPECT_EQ(lines[15],
            "   0.000000E+00 = tI     = tempo de v\xF4o entre a decolagem e o impacto (s)");
  EXPECT_EQ(lines[26], "   0.000000E+00 = Hi1 = trovel pelo m\xE9todo ideal 1 (m)");
  for (std::size_t i = 27; i < 46; ++i) EXPECT_EQ(lines[i], golden[i]) << i + 1;
  expectCommands({"Notepad Trovel_1p1_dados.txt", "notepad caso.txt"});
}

TEST_F(ProgramTest, MissingIndexFileIsCreatedEmptyAndTheRunEndsAtItsEnd) {
  const test::ChildResult result = run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError, reportOf(FailureKind::EndOfFile, Statement::Read, kIndexFile));
  EXPECT_EQ(readBytes(kIndexFile), "");
  expectCommands({"Notepad Trovel_1p1_dados.txt"});
}

TEST_F(ProgramTest, MissingCaseFileIsCreatedEmptyAndNoReportIsWritten) {
  writeBytes(kIndexFile, "caso1.txt\n");
  const test::ChildResult result = run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError, reportOf(FailureKind::EndOfFile, Statement::Read, "caso1.txt"));
  EXPECT_EQ(readBytes("caso1.txt"), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                          std::filesystem::directory_iterator()),
            3)
      << "index file, case file and the interpreter's log only";
  expectCommands({"Notepad Trovel_1p1_dados.txt", "notepad caso1.txt"});
}

TEST_F(ProgramTest, ReportReplacesAnExistingLongerFile) {
  writeBytes(kIndexFile, "caso.txt\r\n");
  writeBytes("caso.txt", workedExampleCase());
  writeBytes("Voo01_saida.txt", std::string(10000, '#'));
  EXPECT_EQ(run().exitCode, 0);
  EXPECT_EQ(readBytes("Voo01_saida.txt"), goldenReport());
}

TEST_F(ProgramTest, ReportNamedLikeTheCaseFileReplacesIt) {
  writeBytes(kIndexFile, "Voo01_saida.txt\r\n");
  writeBytes("Voo01_saida.txt", workedExampleCase());
  EXPECT_EQ(run().exitCode, 0);
  EXPECT_EQ(readBytes("Voo01_saida.txt"), goldenReport());
}

TEST_F(ProgramTest, BlankCaseNameIsAnsweredByTheFirstArgument) {
  writeBytes(kIndexFile, "caso.txt\r\n");
  std::string data = workedExampleCase();
  data.replace(0, data.find('\r'), ",");  // a null value: the name keeps its 50 NUL bytes
  writeBytes("caso.txt", data);
  const test::ChildResult result = run({"saida.txt"});
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "") << "the argument answers; nothing is asked";
  const std::vector<std::string> lines = linesOf(readBytes("saida.txt"));
  EXPECT_EQ(lines[3], " Caso   = " + std::string(50, '\0'));
  // The command line ends at the name's first NUL byte.
  expectCommands({"Notepad Trovel_1p1_dados.txt", "notepad caso.txt", "notepad "});
}

TEST_F(ProgramTest, ReportInAMissingFolderFailsBeforeAnythingIsWritten) {
  writeBytes(kIndexFile, "caso.txt\r\n");
  std::string data = workedExampleCase();
  data.replace(0, data.find(' '), "'nada/r.txt'");  // quoted: a slash ends a plain value
  writeBytes("caso.txt", data);
  const test::ChildResult result = run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError,
            reportOf(FailureKind::FileNotFound, Statement::Open, "nada/r.txt"));
  EXPECT_EQ(readBytes("caso.txt"), data);
  EXPECT_EQ(readBytes(kIndexFile), "caso.txt\r\n");
  EXPECT_FALSE(std::filesystem::exists("nada"));
  expectCommands({"Notepad Trovel_1p1_dados.txt", "notepad caso.txt"});
}

TEST_F(ProgramTest, UnreadableValueIsReportedForTheCaseFileAsConnected) {
  writeBytes(kIndexFile, "  caso 1.txt   \r\n");  // unquoted: the name ends at the blank
  writeBytes("caso", "r.txt\r\n9.81m/s2\r\n");
  const test::ChildResult result = run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError, reportOf(FailureKind::InvalidNumber, Statement::Read, "caso"));
  EXPECT_FALSE(std::filesystem::exists("r.txt"));
}

}  // namespace
}  // namespace trovel
