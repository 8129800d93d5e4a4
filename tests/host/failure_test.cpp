#include "host/failure.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test-host.h"
#include "support/test-platform.h"

namespace trovel {
namespace {

using test::exitStatusOf;
using test::TestPlatform;

// Every kind with the number and statement class its report must show.
struct KindRow {
  FailureKind kind;
  const char* number;
  StatementClass statementClass;
};

constexpr KindRow kKindRows[] = {
    {FailureKind::NoMemory, "F6700", StatementClass::Generic},
    {FailureKind::NoMemoryForTextCopy, "F6717", StatementClass::Generic},
    {FailureKind::NoMemoryForCommandBuffer, "F6772", StatementClass::Generic},
    {FailureKind::FileNotFound, "F6416", StatementClass::File},
    {FailureKind::FileAccessDenied, "F6414", StatementClass::File},
    {FailureKind::FileAlreadyExists, "F6415", StatementClass::File},
    {FailureKind::InvalidFileName, "F6412", StatementClass::File},
    {FailureKind::TooManyOpenFiles, "F6417", StatementClass::File},
    {FailureKind::EndOfFile, "F6501", StatementClass::File},
    {FailureKind::ReadFailure, "F6500", StatementClass::File},
    {FailureKind::ReadAfterEndOfFile, "F6405", StatementClass::File},
    {FailureKind::InvalidNumber, "F6103", StatementClass::File},
    {FailureKind::NumberOverflow, "F6102", StatementClass::File},
    {FailureKind::ValueFormMismatch, "F6504", StatementClass::File},
    {FailureKind::ZeroRepeatCount, "F6502", StatementClass::File},
    {FailureKind::RepeatCountTwice, "F6503", StatementClass::File},
    {FailureKind::InvalidInteger, "F6101", StatementClass::File},
    {FailureKind::IntegerOverflow, "F6100", StatementClass::File},
    {FailureKind::RadixMarkTwice, "F6302", StatementClass::File},
    {FailureKind::InvalidRadix, "F6303", StatementClass::File},
    {FailureKind::DiskFull, "F6422", StatementClass::File},
    {FailureKind::WriteRefused, "F6421", StatementClass::File},
    {FailureKind::InvalidOperation, "M6101", StatementClass::Math},
    {FailureKind::DivideByZero, "M6103", StatementClass::Math},
    {FailureKind::ArithmeticOverflow, "M6104", StatementClass::Math},
    {FailureKind::FunctionOverflow, "M6203", StatementClass::Math},
    {FailureKind::FunctionTotalLoss, "M6205", StatementClass::Math},
};

struct StatementRow {
  Statement statement;
  const char* text;
};

constexpr StatementRow kStatementRows[] = {
    {Statement::Open, ": OPEN("},
    {Statement::Close, ": CLOSE("},
    {Statement::Read, ": READ("},
    {Statement::Write, ": WRITE("},
};

TEST(FailureReport, EveryKindInEveryStatementHasItsExactBytes) {
  for (const KindRow& row : kKindRows) {
    const FailureKindInfo& info = describe(row.kind);
    ASSERT_EQ(info.kind, row.kind);
    ASSERT_EQ(info.statementClass, row.statementClass) << row.number;
    const std::string start = std::string("\r\nrun-time error ") + row.number;
    for (const StatementRow& statement : kStatementRows) {
      const FailureContext context{statement.statement, "caso1.txt"};
      const std::string report = composeReport(info, context, "text");
      switch (row.statementClass) {
        case StatementClass::File:
          EXPECT_EQ(report, start + statement.text + "caso1.txt)\r\n- text\r\n");
          EXPECT_EQ(composeReport(info, context, ""),
                    start + statement.text + "caso1.txt)\r\n\r\n");
          break;
        case StatementClass::Generic:
          EXPECT_EQ(report, start + "\r\n- text\r\n");
          EXPECT_EQ(composeReport(info, context, ""), start + "\r\n- \r\n");
          break;
        case StatementClass::Math:
          EXPECT_EQ(report, start + ": MATH\r\n- text\r\n");
          EXPECT_EQ(composeReport(info, context, ""), start + ": MATH\r\n- \r\n");
          break;
      }
    }
  }
}

TEST(FailureReport, NonMathKindsHaveAMessageOfTheirOwn) {
  for (const KindRow& row : kKindRows) {
    const FailureKindInfo& info = describe(row.kind);
    EXPECT_EQ(info.message.empty(), row.statementClass == StatementClass::Math) << row.number;
  }
}

TEST(FailureReport, FileStatementNamesTheFileAsConnected) {
  const FailureContext context{Statement::Read, " a b.txt"};
  EXPECT_EQ(composeReport(describe(FailureKind::InvalidNumber), context, "m"),
            "\r\nrun-time error F6103: READ( a b.txt)\r\n- m\r\n");
}

class FailuresTest : public ::testing::Test {
 protected:
  TestPlatform os;
  Failures failures{os};
};

TEST_F(FailuresTest, RaiseWritesTheReportThenClosesThenEndsWithStatus1) {
  std::string seenWhenClosing = "closing step not run";
  failures.setClosingStep([&] { seenWhenClosing = os.standardError; });
  failures.beginStatement(Statement::Open, "saida/r.txt");

  EXPECT_EQ(exitStatusOf([&] { failures.raiseFailure(FailureKind::FileNotFound); }), 1);

  const std::string expected =
      "\r\nrun-time error F6416: OPEN(saida/r.txt)\r\n- file not found\r\n";
  EXPECT_EQ(os.standardError, expected);
  EXPECT_EQ(seenWhenClosing, expected);
  EXPECT_EQ(os.standardOutput, "");
}

TEST_F(FailuresTest, MathFailureCarriesTheComposedTextAndNoFileName) {
  failures.beginStatement(Statement::Write, "relatorio.txt");
  EXPECT_EQ(exitStatusOf([&] {
              failures.raiseMathFailure(FailureKind::DivideByZero,
                                        "floating-point error: divide by zero");
            }),
            1);
  EXPECT_EQ(os.standardError,
            "\r\nrun-time error M6103: MATH\r\n- floating-point error: divide by zero\r\n");
}

TEST_F(FailuresTest, ContextStaysAfterTheStatementUntilTheNextBegins) {
  failures.beginStatement(Statement::Read, "caso1.txt");
  EXPECT_EQ(failures.context().statement, Statement::Read);
  EXPECT_EQ(failures.context().fileName, "caso1.txt");
  failures.beginStatement(Statement::Close, "x");
  EXPECT_EQ(failures.context().statement, Statement::Close);
  EXPECT_EQ(failures.context().fileName, "x");
}

TEST_F(FailuresTest, FailureInsideTheClosingStepReportsStopsItAndKeepsStatus1) {
  int closingRuns = 0;
  failures.setClosingStep([&] {
    ++closingRuns;
    failures.beginStatement(Statement::Close, "r.txt");
    failures.raiseFailure(FailureKind::DiskFull);
  });
  failures.beginStatement(Statement::Read, "caso1.txt");

  EXPECT_EQ(exitStatusOf([&] { failures.raiseFailure(FailureKind::EndOfFile); }), 1);

  EXPECT_EQ(closingRuns, 1);
  EXPECT_EQ(os.standardError,
            "\r\nrun-time error F6501: READ(caso1.txt)\r\n- end of file reached\r\n"
            "\r\nrun-time error F6422: CLOSE(r.txt)\r\n- disk full\r\n");
}

TEST_F(FailuresTest, NormalExitRunsTheClosingStepAndEndsWith0) {
  int closingRuns = 0;
  failures.setClosingStep([&] { ++closingRuns; });
  EXPECT_EQ(exitStatusOf([&] { failures.exitRun(0); }), 0);
  EXPECT_EQ(closingRuns, 1);
  EXPECT_EQ(os.standardError, "");
}

// A report on standard error after a run that was going to end well must not
// end with status 0: that would tell a caller the run succeeded.
TEST_F(FailuresTest, FailureWhileClosingAfterANormalRunEndsWith1) {
  failures.setClosingStep([&] {
    failures.beginStatement(Statement::Close, "r.txt");
    failures.raiseFailure(FailureKind::DiskFull);
  });
  EXPECT_EQ(exitStatusOf([&] { failures.exitRun(0); }), 1);
  EXPECT_EQ(os.standardError, "\r\nrun-time error F6422: CLOSE(r.txt)\r\n- disk full\r\n");
}

TEST_F(FailuresTest, UnwritableStandardErrorStillEndsTheRunTheSameWay) {
  int closingRuns = 0;
  failures.setClosingStep([&] { ++closingRuns; });
  os.failAt(test::Call::WriteStandardError, 1, OsError::DiskFull, true);
  EXPECT_EQ(exitStatusOf([&] { failures.raiseFailure(FailureKind::NoMemory); }), 1);
  EXPECT_EQ(closingRuns, 1);
  EXPECT_EQ(os.standardError, "");
}

}  // namespace
}  // namespace trovel
