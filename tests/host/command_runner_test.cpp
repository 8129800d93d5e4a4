#include "host/command-runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <string>

#include "support/child-process.h"
#include "support/scratch-folder.h"
#include "support/test-platform.h"

namespace {

// The allocation of exactly this many bytes fails, once; 0: none does.
std::size_t failingAllocationSize = 0;

}  // namespace

namespace {

void* allocate(std::size_t size) {
  if (size != 0 && size == failingAllocationSize) {
    failingAllocationSize = 0;
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

}  // namespace

// Every allocation of this test program passes here, so that a test can make
// the command runner's buffer unobtainable. The array forms are replaced too:
// a sanitizer's runtime does not route them through the single form.
void* operator new(std::size_t size) {
  return allocate(size);
}

void* operator new[](std::size_t size) {
  return allocate(size);
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

void operator delete[](void* memory) noexcept {
  std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace trovel {
namespace {

using test::EnvironmentOverride;
using test::loggedCommandLine;
using test::readBytes;
using test::ScratchFolder;
using test::stubInterpreterPath;
using test::TestPlatform;
using test::writeBytes;

// A name as the driver holds it: padded with blanks to 50 characters.
std::string padded(std::string_view name) {
  std::string text(name);
  text.resize(50, ' ');
  return text;
}

std::string notepadCommand(std::string_view name) {
  return "notepad " + padded(name);
}

// A relative path of exactly `length` characters that names `file` in the
// current folder, such as "x/.././././file" (the folder x exists).
std::string pathOfLength(std::size_t length, const std::string& file) {
  std::string path = (length - file.size()) % 2 != 0 ? "x/../" : "";
  while (path.size() + file.size() < length) path += "./";
  return path + file;
}

// Each test runs in a scratch folder that holds a copy of the stub interpreter,
// named by COMSPEC and found on PATH, as the current folder is searched on Windows.
class CommandRunnerTest : public ::testing::Test {
 protected:
  CommandRunnerTest() {
    std::filesystem::copy_file(stubInterpreterPath(), "stub.exe");
    std::filesystem::create_directory("x");
  }

  int run(std::string_view commandText) { return runCommand(os, failures, commandText); }

  // What the stub interpreter logged, a line per run; empty when it never ran.
  static std::string stubLog() {
    return std::filesystem::exists("stub-log.txt") ? readBytes("stub-log.txt") : "";
  }

  static std::string loggedOnce(std::string_view commandLine) {
    return loggedCommandLine(commandLine) + '\n';
  }

  ScratchFolder folder;
  EnvironmentOverride environment{{{"PATH", folder.path().string()},
                                   {"COMSPEC", "stub.exe"},
                                   {"STUB_LOG", "stub-log.txt"},
                                   {"STUB_EXIT", std::nullopt},
                                   {"STUB_SIGNAL", std::nullopt}}};
  TestPlatform os;
  Failures failures{os};
};

TEST_F(CommandRunnerTest, HandsTheInterpreterTheCommandWithoutTrailingBlanksAndReturnsItsCode) {
  const struct {
    std::string commandText;
    std::string commandLine;
  } cases[] = {
      {notepadCommand("caso.txt"), "stub.exe /c notepad caso.txt"},
      {"Notepad Trovel_1p1_dados.txt", "stub.exe /c Notepad Trovel_1p1_dados.txt"},
      // Leading blanks and blanks inside stay, unquoted.
      {notepadCommand("  two  words.txt"), "stub.exe /c notepad   two  words.txt"},
      {std::string(58, ' '), "stub.exe /c "},
      // Only the blank is trimmed; the system reads the line up to its first NUL.
      {notepadCommand("a.txt\t"), "stub.exe /c notepad a.txt\t"},
      {"notepad " + std::string(50, '\0'), "stub.exe /c notepad "},
      {notepadCommand(std::string_view("abc\0def", 7)), "stub.exe /c notepad abc"},
  };
  for (const auto& [commandText, commandLine] : cases) {
    SCOPED_TRACE(commandLine);
    std::filesystem::remove("stub-log.txt");
    EXPECT_EQ(run(commandText), 0);
    EXPECT_EQ(stubLog(), loggedOnce(commandLine));
  }
}

TEST_F(CommandRunnerTest, ReturnsANonZeroExitCodeUnchanged) {
  for (const int code : {1, 42, 255}) {
    SCOPED_TRACE(code);
    const EnvironmentOverride exitCode("STUB_EXIT", std::to_string(code));
    EXPECT_EQ(run(notepadCommand("caso.txt")), code);
  }
}

TEST_F(CommandRunnerTest, RunsACommandOf1024CharactersButNotOneOf1025) {
  const std::string longest = "notepad " + std::string(1016, 'x');
  EXPECT_EQ(run(longest + "      "), 0);
  EXPECT_EQ(stubLog(), loggedOnce("stub.exe /c " + longest));

  std::filesystem::remove("stub-log.txt");
  os.recordFailureCause(0);
  EXPECT_EQ(run(longest + "y     "), -1);
  EXPECT_EQ(os.lastFailureCause(), 7);
  EXPECT_EQ(stubLog(), "");
}

TEST_F(CommandRunnerTest, UsesAnInterpreterPathOf260CharactersButNotOneOf261) {
  const std::string longest = pathOfLength(260, "stub.exe");
  ASSERT_EQ(longest.size(), 260u);
  {
    const EnvironmentOverride comspec("COMSPEC", longest);
    EXPECT_EQ(run(notepadCommand("caso.txt")), 0);
    EXPECT_EQ(stubLog(), loggedOnce(longest + " /c notepad caso.txt"));
  }
  std::filesystem::remove("stub-log.txt");
  const EnvironmentOverride comspec("COMSPEC", pathOfLength(261, "stub.exe"));
  EXPECT_EQ(run(notepadCommand("caso.txt")), -1);
  EXPECT_EQ(os.lastFailureCause(), 2);
  EXPECT_EQ(stubLog(), "");
}

TEST_F(CommandRunnerTest, StartsCmdExeWhenComspecIsMissingOrEmpty) {
  std::filesystem::copy_file("stub.exe", "cmd.exe");
  for (const std::optional<std::string>& value :
       {std::optional<std::string>(), std::optional(std::string())}) {
    SCOPED_TRACE(value ? "empty" : "missing");
    std::filesystem::remove("stub-log.txt");
    const EnvironmentOverride comspec("COMSPEC", value);
    EXPECT_EQ(run(notepadCommand("caso.txt")), 0);
    EXPECT_EQ(stubLog(), loggedOnce("cmd.exe /c notepad caso.txt"));
  }
}

TEST_F(CommandRunnerTest, RecordsWhyAnInterpreterCouldNotBeStarted) {
  // A file that a shell would run: no fallback to a shell may run it.
  writeBytes("not-a-program.exe", "mkdir ran-by-a-shell\n");
  writeBytes("not-executable.exe", "mkdir ran-by-a-shell\n");
  using std::filesystem::perms;
  std::filesystem::permissions("not-a-program.exe", perms::owner_all);
  std::filesystem::permissions("not-executable.exe", perms::owner_read | perms::owner_write);
  const struct {
    const char* interpreter;
    int cause;
  } cases[] = {
      {"missing.exe", 2},
      {"no-folder/missing.exe", 2},
      {"not-a-program.exe", 8},
      {"not-executable.exe", 8},
  };
  for (const auto& [interpreter, cause] : cases) {
    SCOPED_TRACE(interpreter);
    const EnvironmentOverride comspec("COMSPEC", interpreter);
    os.recordFailureCause(0);
    EXPECT_EQ(run(notepadCommand("caso.txt")), -1);
    EXPECT_EQ(os.lastFailureCause(), cause);
  }
  EXPECT_FALSE(std::filesystem::exists("ran-by-a-shell"));
}

TEST_F(CommandRunnerTest, MapsEachClassOfStartFailureToItsCause) {
  const struct {
    OsError error;
    int cause;
  } cases[] = {
      {OsError::NotFound, 2},          {OsError::NotExecutable, 8}, {OsError::AccessDenied, 12},
      {OsError::TooManyOpenFiles, 12}, {OsError::Other, 12},
  };
  for (const auto& [error, cause] : cases) {
    SCOPED_TRACE(cause);
    os.failAt(test::Call::StartProcess, os.calls(test::Call::StartProcess) + 1, error);
    EXPECT_EQ(run(notepadCommand("caso.txt")), -1);
    EXPECT_EQ(os.lastFailureCause(), cause);
  }
  EXPECT_EQ(stubLog(), "");
}

TEST_F(CommandRunnerTest, EscapesTheCommandWhereTheInterpreterParsesIt) {
  const std::string name = "r.txt&notepad (x) ^ 50% \"y\" <z> | !";
  const struct {
    bool parsing;
    std::string commandLine;
  } cases[] = {
      {true, "stub.exe /c notepad r.txt^&notepad ^(x^) ^^ 50^% ^\"y^\" ^<z^> ^| ^!"},
      {false, "stub.exe /c notepad " + name},
  };
  for (const auto& [parsing, commandLine] : cases) {
    SCOPED_TRACE(parsing);
    std::filesystem::remove("stub-log.txt");
    os.parsingInterpreter = parsing;
    EXPECT_EQ(run(notepadCommand(name)), 0);
    EXPECT_EQ(stubLog(), loggedOnce(commandLine));
  }
}

TEST_F(CommandRunnerTest, LimitsTheCommandBeforeEscapingAndMakesRoomForTheEscapedText) {
  os.parsingInterpreter = true;
  const std::string longest = "notepad " + std::string(1016, '&');
  EXPECT_EQ(run(longest), 0);
  std::string escaped = "notepad ";
  for (int i = 0; i < 1016; ++i) escaped += "^&";
  EXPECT_EQ(stubLog(), loggedOnce("stub.exe /c " + escaped));

  EXPECT_EQ(run(longest + "&"), -1);
  EXPECT_EQ(os.lastFailureCause(), 7);
}

TEST_F(CommandRunnerTest, EndsTheRunWhenNoMemoryForTheCommandLineCanBeHad) {
  // The buffer holds the (escaped) command and 265 bytes beside it.
  const struct {
    bool parsing;
    std::size_t bufferSize;
  } cases[] = {{false, 11 + 265}, {true, 12 + 265}};
  for (const auto& [parsing, bufferSize] : cases) {
    SCOPED_TRACE(parsing);
    os.parsingInterpreter = parsing;
    os.standardError.clear();
    Failures failures(os);
    failingAllocationSize = bufferSize;
    try {
      runCommand(os, failures, notepadCommand("a&b"));
      ADD_FAILURE() << "the run went on";
    } catch (const test::ProcessExit& exit) {
      EXPECT_EQ(exit.status, 1);
    }
    failingAllocationSize = 0;
    const FailureKindInfo& kind = describe(FailureKind::NoMemoryForCommandBuffer);
    EXPECT_EQ(os.standardError, composeReport(kind, FailureContext{}, kind.message));
  }
  EXPECT_EQ(os.standardError.substr(0, 23), "\r\nrun-time error F6772\r");
  EXPECT_EQ(stubLog(), "");
}

}  // namespace
}  // namespace trovel
