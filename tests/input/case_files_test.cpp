#include "input/case-files.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test-host.h"

namespace trovel {
namespace {

using enum FailureKind;
using test::exitStatusOf;
using test::readBytes;
using test::reportOf;
using test::writeBytes;

constexpr const char* kIndexFile = "Trovel_1p1_dados.txt";

std::string padded(std::string_view text, std::size_t length) {
  std::string padded(text);
  padded.resize(length, ' ');
  return padded;
}

FixedText<50> nameText(std::string_view name) {
  FixedText<50> text;
  const std::string bytes = padded(name, 50);
  std::copy(bytes.begin(), bytes.end(), text.bytes.begin());
  return text;
}

// The lines of the case file of the worked example.
const std::vector<std::string> kExampleLines = {
    "relatorio1.txt   caso", "9.81     g",
    "5.0      tH",           "11.5     tI",
    "60       LO",           "52.5     alfa",
    "25       LI",           "30       gama",
    "120      lambda",       "'Voo 3 do modelo X-1, campo norte'   titulo",
};

std::string joined(const std::vector<std::string>& lines, std::string_view end = "\n") {
  std::string file;
  for (const std::string& line : lines) file += line + std::string(end);
  return file;
}

void expectExampleValues(const CaseData& data) {
  EXPECT_EQ(std::string(data.caso.view()), padded("relatorio1.txt", 50));
  EXPECT_EQ(data.g, 9.81);
  EXPECT_EQ(data.tH, 5.0);
  EXPECT_EQ(data.tI, 11.5);
  EXPECT_EQ(data.LO, 60.0);
  EXPECT_EQ(data.alfa, 52.5);
  EXPECT_EQ(data.LI, 25.0);
  EXPECT_EQ(data.gama, 30.0);
  EXPECT_EQ(data.lambda, 120.0);
  EXPECT_EQ(std::string(data.titulo.view()), padded("Voo 3 do modelo X-1, campo norte", 90));
  EXPECT_EQ(std::bit_cast<std::uint64_t>(data.beta), 0u) << "beta is derived, not read";
}

class CaseFilesTest : public ::testing::Test, protected test::TestHost {};

TEST_F(CaseFilesTest, TheWorkedExampleReadsIntoExactlyTheValuesOfItsTable) {
  writeBytes(kIndexFile, "caso1.txt\n");
  writeBytes("caso1.txt", joined(kExampleLines));
  const FixedText<50> caseFileName = readCaseFileName(units);
  EXPECT_EQ(std::string(caseFileName.view()), padded("caso1.txt", 50));
  EXPECT_FALSE(units.isConnected(8));
  CaseData data;
  loadCase(units, caseFileName, data);
  expectExampleValues(data);
  EXPECT_FALSE(units.isConnected(8));
  EXPECT_EQ(readBytes(kIndexFile), "caso1.txt\n");
  EXPECT_EQ(readBytes("caso1.txt"), joined(kExampleLines)) << "neither file is written";
  EXPECT_EQ(os.standardError, "");
}

TEST_F(CaseFilesTest, CaseFilesWithEitherLineEndAndBlankLinesReadAlike) {
  for (const std::string_view end : {"\n", "\r\n"}) {
    test::TestHost host;
    std::vector<std::string> lines;
    for (const std::string& line : kExampleLines) {
      lines.push_back("");
      lines.push_back(" \t");
      lines.push_back(line);
    }
    std::string file = joined(lines, end);
    file.resize(file.size() - end.size());  // the last line without its line end
    writeBytes("caso1.txt", file);
    CaseData data;
    loadCase(host.units, nameText("caso1.txt"), data);
    expectExampleValues(data);
  }
}

// The first value of the index file, and what follows it, in the ways users write it.
TEST_F(CaseFilesTest, TheIndexFileGivesItsFirstValueOnly) {
  const struct {
    const char* index;
    std::string name;
  } rows[] = {
      {"caso1.txt   arquivo do caso\n", padded("caso1.txt", 50)},
      {"\n  \ncaso1.txt\ncaso2.txt\n", padded("caso1.txt", 50)},
      {"'meu caso.txt'\n", padded("meu caso.txt", 50)},
      {"meu caso.txt\n", padded("meu", 50)},
      {",\n", std::string(50, '\0')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.index);
    test::TestHost host;
    writeBytes(kIndexFile, row.index);
    EXPECT_EQ(std::string(readCaseFileName(host.units).view()), row.name);
    EXPECT_FALSE(host.units.isConnected(8));
  }
}

TEST_F(CaseFilesTest, ALoneCommaInTheIndexFileLeadsToTheRuleForABlankName) {
  writeBytes(kIndexFile, ",\n");
  writeBytes("caso1.txt", joined(kExampleLines));
  os.commandLineArguments = {"caso1.txt"};
  CaseData data;
  loadCase(units, readCaseFileName(units), data);
  expectExampleValues(data);
}

TEST_F(CaseFilesTest, AnUnquotedTitleEndsAtItsFirstBlank) {
  std::vector<std::string> lines = kExampleLines;
  lines[9] = "Voo de teste 3";
  writeBytes("caso1.txt", joined(lines));
  CaseData data;
  loadCase(units, nameText("caso1.txt"), data);
  EXPECT_EQ(std::string(data.titulo.view()), padded("Voo", 90));
}

TEST_F(CaseFilesTest, AFirstLineOfCommentaryBecomesTheCaseNameAndGMeetsTheNextLine) {
  std::vector<std::string> lines = kExampleLines;
  lines.insert(lines.begin(), "Caso de teste do clube");
  writeBytes("caso1.txt", joined(lines));
  CaseData data;
  EXPECT_EQ(exitStatusOf([&] { loadCase(units, nameText("caso1.txt"), data); }), 1);
  EXPECT_EQ(os.standardError, reportOf(InvalidNumber, Statement::Read, "caso1.txt"));
  EXPECT_EQ(std::string(data.caso.view()), padded("Caso", 50));
  EXPECT_EQ(data.g, 0.0);
}

TEST_F(CaseFilesTest, TwoValuesOnOneLineShiftTheRest) {
  std::vector<std::string> lines = kExampleLines;
  lines[1] = "9.81 5.0";
  lines.erase(lines.begin() + 2);
  writeBytes("caso1.txt", joined(lines));
  CaseData data;
  // lambda meets the quoted title.
  EXPECT_EQ(exitStatusOf([&] { loadCase(units, nameText("caso1.txt"), data); }), 1);
  EXPECT_EQ(os.standardError, reportOf(ValueFormMismatch, Statement::Read, "caso1.txt"));
  EXPECT_EQ(data.g, 9.81);
  EXPECT_EQ(data.tH, 11.5);
  EXPECT_EQ(data.tI, 60.0);
  EXPECT_EQ(data.gama, 120.0);
}

TEST_F(CaseFilesTest, ALoneCommaForAlfaLeavesItAtPositiveZero) {
  std::vector<std::string> lines = kExampleLines;
  lines[5] = ",        alfa";
  writeBytes("caso1.txt", joined(lines));
  CaseData data;
  loadCase(units, nameText("caso1.txt"), data);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(data.alfa), 0u);
  EXPECT_EQ(data.LI, 25.0);
  EXPECT_EQ(data.lambda, 120.0);
  EXPECT_EQ(std::string(data.titulo.view()), padded("Voo 3 do modelo X-1, campo norte", 90));
}

TEST_F(CaseFilesTest, MissingFilesAreCreatedEmptyAndTheirFirstReadMeetsTheEnd) {
  EXPECT_EQ(exitStatusOf([&] { readCaseFileName(units); }), 1);
  EXPECT_EQ(os.standardError, reportOf(EndOfFile, Statement::Read, kIndexFile));
  EXPECT_EQ(readBytes(kIndexFile), "");

  test::TestHost host;
  CaseData data;
  EXPECT_EQ(exitStatusOf([&] { loadCase(host.units, nameText("  caso1.txt"), data); }), 1);
  EXPECT_EQ(host.os.standardError, reportOf(EndOfFile, Statement::Read, "caso1.txt"));
  EXPECT_TRUE(std::filesystem::exists("caso1.txt"));
}

TEST_F(CaseFilesTest, ACaseFileWithFewerThanTenValuesEndsWithEndOfFile) {
  std::vector<std::string> lines = kExampleLines;
  lines.pop_back();
  writeBytes("caso1.txt", joined(lines));
  CaseData data;
  EXPECT_EQ(exitStatusOf([&] { loadCase(units, nameText("caso1.txt"), data); }), 1);
  EXPECT_EQ(os.standardError, reportOf(EndOfFile, Statement::Read, "caso1.txt"));
  EXPECT_EQ(data.lambda, 120.0);
}

}  // namespace
}  // namespace trovel
