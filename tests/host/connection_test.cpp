#include "host/connection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test-host.h"

namespace trovel {
namespace {

using test::Call;
using test::exitStatusOf;
using test::readBytes;
using test::reportOf;
using test::writeBytes;

constexpr const char* kPrompt8 = "File name missing or blank - please enter file name\r\nUNIT 8? ";
constexpr const char* kPrompt10 =
    "File name missing or blank - please enter file name\r\nUNIT 10? ";

std::string padded(std::string_view name, std::size_t length = 50) {
  std::string text(name);
  text.resize(length, ' ');
  return text;
}

class ConnectionTest : public ::testing::Test, protected test::TestHost {
 protected:
  // Puts bytes into the unit's buffer as the writer does, and writes them out when full.
  void write(int unit, std::string_view bytes) {
    Connection& connection = units.connectionOf(unit);
    units.beginWriting(connection);
    for (const char byte : bytes) {
      if (connection.count == connection.buffer.size()) units.writeOut(connection);
      connection.buffer[connection.count++] = byte;
    }
  }

  std::string readAll(int unit) {
    Connection& connection = units.connectionOf(unit);
    std::string bytes(connection.buffer.data() + connection.position,
                      connection.count - connection.position);
    while (units.refill(connection).count > 0) {
      bytes.append(connection.buffer.data(), connection.count);
    }
    return bytes;
  }
};

TEST_F(ConnectionTest, PaddedNameConnectsTheFileAndAMissingFileIsCreatedEmptyAndKept) {
  units.openUnit(8, padded("  caso1.txt"));
  const Connection& connection = units.connectionOf(8);
  EXPECT_EQ(connection.fileName, "caso1.txt");
  EXPECT_EQ(connection.kind, ConnectionKind::DiskFile);
  EXPECT_EQ(connection.buffer.size(), 1024u);
  EXPECT_TRUE(connection.writing) << "a newly created file starts in the writing state";
  units.closeUnit(8);
  EXPECT_FALSE(units.isConnected(8));
  EXPECT_EQ(readBytes("caso1.txt"), "");
}

TEST_F(ConnectionTest, ExistingFileIsOpenedForReadingAndWritingFromItsStart) {
  writeBytes("dados.txt", "caso1.txt\r\n");
  units.openUnit(8, "dados.txt\0garbage");
  const Connection& connection = units.connectionOf(8);
  EXPECT_EQ(connection.fileName, "dados.txt");
  EXPECT_EQ(connection.access, Access::ReadWrite);
  EXPECT_FALSE(connection.writing);
  EXPECT_EQ(readAll(8), "caso1.txt\r\n");
  units.closeUnit(8);
  EXPECT_EQ(readBytes("dados.txt"), "caso1.txt\r\n");
}

TEST_F(ConnectionTest, UnitReconnectedToAnotherFileReadsThatFileFromItsStart) {
  writeBytes("a.txt", "first file");
  writeBytes("b.txt", "second file");
  units.openUnit(8, "a.txt");
  Connection& first = units.connectionOf(8);
  units.refill(first);
  first.position = 3;
  units.closeUnit(8);
  units.openUnit(8, "b.txt");
  EXPECT_EQ(readAll(8), "second file");
}

TEST_F(ConnectionTest, BlankNamesTakeTheArgumentsInOrderThenPrompt) {
  os.commandLineArguments = {"a.txt", "  b.txt "};
  os.standardInput = "\n   \n  c.txt  \n";
  const std::string blank(50, '\0');
  units.openUnit(8, blank);
  EXPECT_EQ(units.connectionOf(8).fileName, "a.txt");
  units.closeUnit(8);
  units.openUnit(8, blank);
  EXPECT_EQ(units.connectionOf(8).fileName, "b.txt");
  units.closeUnit(8);
  EXPECT_EQ(os.standardOutput, "");
  units.openUnit(10, padded(""));
  EXPECT_EQ(units.connectionOf(10).fileName, "c.txt");
  EXPECT_EQ(os.standardOutput, std::string(kPrompt10) + kPrompt10 + kPrompt10);
}

TEST_F(ConnectionTest, PromptAnswersFromAFileOrPipe) {
  struct Row {
    const char* input;
    const char* first;
    const char* second;
  };
  const Row rows[] = {
      {"a.txt\r\nb.txt\r\n", "a.txt", "b.txt"},
      {"a.txt\nb.txt", "a.txt", "b.txt"},    // the end of the input ends a non-empty answer
      {"a.txt\rb.txt\r", "a.txt", "b.txt"},  // a lone CR keeps the next line whole
      {"\r\n\r\na.txt\n\nb.txt\n", "a.txt", "b.txt"},
  };
  for (const Row& row : rows) {
    test::TestHost host;
    host.os.standardInput = row.input;
    host.units.openUnit(8, "");
    EXPECT_EQ(host.units.connectionOf(8).fileName, row.first) << row.input;
    host.units.closeUnit(8);
    host.units.openUnit(8, "");
    EXPECT_EQ(host.units.connectionOf(8).fileName, row.second) << row.input;
  }
}

TEST_F(ConnectionTest, LongPromptAnswerIsCutAndTheRestOfItsLineSkipped) {
  os.standardInput = "   " + std::string(300, 'n') + "\n";
  EXPECT_EQ(exitStatusOf([&] { units.openUnit(8, ""); }), 1);
  // The name keeps 257 of the 260 characters taken (blanks stripped), which
  // no file system here accepts as one name.
  const std::size_t open = os.standardError.find("OPEN(") + 5;
  EXPECT_EQ(os.standardError.substr(open, 258), std::string(257, 'n') + ")");
}

TEST_F(ConnectionTest, PromptAnswersFromTheConsoleOneLinePerRequest) {
  os.consoleInput = true;
  os.standardInput = "\r\n   \r\n dados.txt \r\n";
  units.openUnit(8, padded(""));
  EXPECT_EQ(units.connectionOf(8).fileName, "dados.txt");
  EXPECT_EQ(os.standardOutput, std::string(kPrompt8) + kPrompt8 + kPrompt8);
}

// A console that hands over nothing has ended (end of input typed, or the
// null device): asking again would never finish.
TEST_F(ConnectionTest, InputEndingWhileANameIsAskedForIsEndOfFileInOpen) {
  for (const bool console : {false, true}) {
    test::TestHost host;
    host.os.consoleInput = console;
    host.os.standardInput = console ? "\r\n" : "  \n";
    EXPECT_EQ(exitStatusOf([&] { host.units.openUnit(8, ""); }), 1);
    EXPECT_EQ(host.os.standardError, reportOf(FailureKind::EndOfFile, Statement::Open, ""));
    EXPECT_EQ(host.os.standardOutput, std::string(kPrompt8) + kPrompt8);
  }
}

TEST_F(ConnectionTest, FolderAsNameIsAccessDeniedAndAMissingFolderIsNotFound) {
  std::filesystem::create_directory("saida");
  struct Row {
    const char* name;
    FailureKind kind;
  };
  for (const Row row : {Row{"saida", FailureKind::FileAccessDenied},
                        Row{"nada/r.txt", FailureKind::FileNotFound}}) {
    test::TestHost host;
    std::filesystem::create_directory("saida");
    EXPECT_EQ(exitStatusOf([&] { host.units.openUnit(10, padded(row.name)); }), 1);
    EXPECT_EQ(host.os.standardError, reportOf(row.kind, Statement::Open, row.name));
    EXPECT_FALSE(host.units.isConnected(10));
  }
}

TEST_F(ConnectionTest, FirstWriteCutsAnExistingLongerFile) {
  writeBytes("r.txt", std::string(5000, 'o'));
  units.openUnit(10, "r.txt");
  write(10, "new\r\n");
  units.closeUnit(10);
  EXPECT_EQ(readBytes("r.txt"), "new\r\n");
}

TEST_F(ConnectionTest, OutputReachesTheFileWhenTheBufferFillsAndAtClose) {
  units.openUnit(10, "r.txt");
  write(10, std::string(1024, 'a'));
  EXPECT_EQ(readBytes("r.txt"), "") << "a full buffer waits for the next byte";
  write(10, "b");
  EXPECT_EQ(readBytes("r.txt"), std::string(1024, 'a'));
  units.closeUnit(10);
  EXPECT_EQ(readBytes("r.txt"), std::string(1024, 'a') + "b");
}

TEST_F(ConnectionTest, FailureKeepsEverythingWrittenBeforeIt) {
  units.openUnit(10, "r.txt");
  write(10, "header\r\n");
  EXPECT_EQ(exitStatusOf([&] { failures.raiseMathFailure(FailureKind::DivideByZero, "m"); }), 1);
  EXPECT_FALSE(units.isConnected(10));
  EXPECT_EQ(readBytes("r.txt"), "header\r\n");
}

TEST_F(ConnectionTest, NullDeviceTakesTheOutputAndNoFileComesIntoBeing) {
  for (const char* name : {"NUL", "nul.txt"}) {
    units.openUnit(10, name);
    EXPECT_EQ(units.connectionOf(10).kind, ConnectionKind::Device);
    EXPECT_EQ(units.connectionOf(10).buffer.size(), 132u);
    write(10, std::string(500, 'x'));
    units.closeUnit(10);
    EXPECT_TRUE(std::filesystem::is_empty(".")) << name;
  }
}

TEST_F(ConnectionTest, ConsoleAndErrorDevicesUseTheStandardStreams) {
  units.openUnit(10, "con");
  EXPECT_EQ(units.connectionOf(10).fileName, "con");
  write(10, "to the console\r\n");
  units.closeUnit(10);
  units.openUnit(10, "err.");
  write(10, "to standard error\r\n");
  units.closeUnit(10);
  units.openUnit(10, "USER");
  EXPECT_EQ(units.connectionOf(10).fileName, "CON");
  units.closeUnit(10);
  EXPECT_EQ(os.standardOutput, "to the console\r\n");
  EXPECT_EQ(os.standardError, "to standard error\r\n");
  EXPECT_EQ(os.calls(Call::OpenFile), 0);
  EXPECT_TRUE(std::filesystem::is_empty("."));
}

// lpt1.txt is an ordinary file to this program too, but Windows itself opens
// LPT1 with any extension as the printer port, so it cannot be shown here.
TEST_F(ConnectionTest, DeviceLookalikesAreOrdinaryFiles) {
  for (const char* name : {"err.txt", "line.dat", "user.x"}) {
    units.openUnit(10, name);
    EXPECT_EQ(units.connectionOf(10).kind, ConnectionKind::DiskFile);
    units.closeUnit(10);
    EXPECT_TRUE(std::filesystem::exists(name)) << name;
  }
}

TEST_F(ConnectionTest, RefusedAttemptsFallBackToReadThenWriteAccess) {
  writeBytes("a.txt", "x");
  os.failAt(Call::OpenFile, 1, OsError::AccessDenied);
  units.openUnit(8, "a.txt");
  EXPECT_EQ(units.connectionOf(8).access, Access::Read);
  units.closeUnit(8);

  os.failAt(Call::OpenFile, 3, OsError::AccessDenied);
  os.failAt(Call::OpenFile, 4, OsError::AccessDenied);
  units.openUnit(8, "a.txt");
  EXPECT_EQ(units.connectionOf(8).access, Access::Write);
  units.closeUnit(8);
  EXPECT_EQ(os.calls(Call::OpenFile), 5);
}

TEST_F(ConnectionTest, LastAttemptsErrorDecidesTheFailure) {
  struct Row {
    OsError error;
    FailureKind kind;
  };
  const Row rows[] = {
      {OsError::NotFound, FailureKind::FileNotFound},
      {OsError::AccessDenied, FailureKind::FileAccessDenied},
      {OsError::AlreadyExists, FailureKind::FileAlreadyExists},
      {OsError::TooManyOpenFiles, FailureKind::TooManyOpenFiles},
      {OsError::Other, FailureKind::InvalidFileName},
      {OsError::DiskFull, FailureKind::InvalidFileName},
  };
  for (const Row& row : rows) {
    test::TestHost host;
    host.os.failAt(Call::OpenFile, 1, OsError::AccessDenied);
    host.os.failAt(Call::OpenFile, 2, OsError::AccessDenied);
    host.os.failAt(Call::OpenFile, 3, row.error);
    EXPECT_EQ(exitStatusOf([&] { host.units.openUnit(10, " r.txt"); }), 1);
    EXPECT_EQ(host.os.standardError, reportOf(row.kind, Statement::Open, "r.txt"));
  }
}

TEST_F(ConnectionTest, FileAppearingAfterTheExistenceTestIsAlreadyExists) {
  writeBytes("r.txt", "there");
  os.failAt(Call::FileExists, 1, OsError::NotFound);
  EXPECT_EQ(exitStatusOf([&] { units.openUnit(10, "r.txt"); }), 1);
  EXPECT_EQ(os.standardError, reportOf(FailureKind::FileAlreadyExists, Statement::Open, "r.txt"));
  EXPECT_EQ(readBytes("r.txt"), "there");
}

TEST_F(ConnectionTest, TableHoldsSixtyOneConnections) {
  for (int unit = 1; unit <= 61; ++unit) units.openUnit(unit, "NUL");
  EXPECT_EQ(exitStatusOf([&] { units.openUnit(62, "NUL"); }), 1);
  EXPECT_EQ(os.standardError, reportOf(FailureKind::TooManyOpenFiles, Statement::Open, "NUL"));
  EXPECT_FALSE(units.isConnected(1)) << "the closing step closed every unit";
}

TEST_F(ConnectionTest, ReadOnlyConnectionRefusesTheCutOfANonEmptyFile) {
  writeBytes("r.txt", "old report");
  os.failAt(Call::OpenFile, 1, OsError::AccessDenied);  // as a read-only file refuses
  units.openUnit(10, "r.txt");
  ASSERT_EQ(units.connectionOf(10).access, Access::Read);
  failures.beginStatement(Statement::Write, "r.txt");
  EXPECT_EQ(exitStatusOf([&] { write(10, "new"); }), 1);
  EXPECT_EQ(os.standardError, reportOf(FailureKind::WriteRefused, Statement::Write, "r.txt"));
  EXPECT_EQ(readBytes("r.txt"), "old report");
}

TEST_F(ConnectionTest, RefusedCutIsAFailedWrite) {
  struct Row {
    OsError error;
    FailureKind kind;
  };
  for (const Row row : {Row{OsError::DiskFull, FailureKind::DiskFull},
                        Row{OsError::AccessDenied, FailureKind::WriteRefused}}) {
    test::TestHost host;
    writeBytes("r.txt", "old");
    host.units.openUnit(10, "r.txt");
    host.os.failAt(Call::CutFile, 1, row.error);
    host.failures.beginStatement(Statement::Write, "r.txt");
    Connection& connection = host.units.connectionOf(10);
    EXPECT_EQ(exitStatusOf([&] { host.units.beginWriting(connection); }), 1);
    EXPECT_EQ(host.os.standardError, reportOf(row.kind, Statement::Write, "r.txt"));
  }
}

TEST_F(ConnectionTest, FullMediumAtCloseIsReportedOnceInClose) {
  units.openUnit(10, "r.txt");
  write(10, "report");
  os.failAt(Call::WriteFile, 1, OsError::DiskFull, true);
  EXPECT_EQ(exitStatusOf([&] { units.closeUnit(10); }), 1);
  EXPECT_EQ(os.standardError, reportOf(FailureKind::DiskFull, Statement::Close, "r.txt"));
  EXPECT_FALSE(units.isConnected(10)) << "the closing step released the handle";
}

TEST_F(ConnectionTest, FullMediumInTheClosingStepIsReportedInClose) {
  units.openUnit(10, "r.txt");
  write(10, "report");
  os.failAt(Call::WriteFile, 1, OsError::DiskFull, true);
  failures.beginStatement(Statement::Read, "caso1.txt");
  EXPECT_EQ(exitStatusOf([&] { failures.raiseFailure(FailureKind::InvalidNumber); }), 1);
  EXPECT_EQ(os.standardError, reportOf(FailureKind::InvalidNumber, Statement::Read, "caso1.txt") +
                                  reportOf(FailureKind::DiskFull, Statement::Close, "r.txt"));
}

// A close that fails after writing may have lost the file's last bytes; saying
// nothing would pass a damaged report off as a good one.
TEST_F(ConnectionTest, FailingCloseIsReportedAfterWritingOnly) {
  writeBytes("a.txt", "x");
  units.openUnit(8, "a.txt");
  os.failAt(Call::CloseFile, 1, OsError::Other);
  units.closeUnit(8);
  EXPECT_EQ(os.standardError, "");

  units.openUnit(10, "r.txt");
  write(10, "report");
  os.failAt(Call::CloseFile, 2, OsError::DiskFull);
  EXPECT_EQ(exitStatusOf([&] { units.closeUnit(10); }), 1);
  EXPECT_EQ(os.standardError, reportOf(FailureKind::DiskFull, Statement::Close, "r.txt"));
}

TEST_F(ConnectionTest, ClosingAnUnconnectedUnitDoesNothing) {
  units.closeUnit(10);
  units.closeAllUnits();
  EXPECT_EQ(os.standardError, "");
}

TEST_F(ConnectionTest, ReadAfterWritingStartsAfterWhatWasWritten) {
  units.openUnit(10, "r.txt");
  write(10, "abc");
  Connection& connection = units.connectionOf(10);
  units.endWriting(connection);
  EXPECT_FALSE(connection.writing);
  EXPECT_EQ(readBytes("r.txt"), "abc");
  EXPECT_EQ(units.refill(connection).count, 0u);
}

}  // namespace
}  // namespace trovel
