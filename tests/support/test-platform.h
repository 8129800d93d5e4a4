#pragma once
// A platform for tests: it passes file calls to the real system, keeps the
// standard streams in memory, can make any call fail on its Nth use, and turns
// the end of the process into a ProcessExit exception that a test catches.

#include <cstddef>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/platform.h"

namespace trovel::test {

// Thrown where the program would end the process.
struct ProcessExit {
  int status;
};

enum class Call {
  FileExists,
  OpenFile,
  ReadFile,
  WriteFile,  // writes to files; standard error has its own entry
  CutFile,
  CloseFile,
  StartProcess,
  WriteStandardError,
};

class TestPlatform final : public Platform {
 public:
  explicit TestPlatform(Platform& real = systemPlatform(0, nullptr)) : real_(real) {}

  // What the program sees of its surroundings.
  std::string standardInput;
  bool consoleInput = false;  // read standard input a line per request, as a console
  std::vector<std::string> commandLineArguments;
  std::map<std::string, std::optional<std::string>> environment;  // overrides the real one
  std::optional<bool> parsingInterpreter;  // overrides the real interpreterParsesCommands()

  // What the program wrote to its standard streams.
  std::string standardOutput;
  std::string standardError;

  // The Nth call (counting from 1) of `call` fails with `error`; with
  // `persistent`, so does every later one. A fault on FileExists makes it answer false.
  void failAt(Call call, int nth, OsError error, bool persistent = false);
  // Each write to a file moves at most this many bytes.
  std::size_t maxWriteBytes = std::numeric_limits<std::size_t>::max();
  // How often `call` was made.
  int calls(Call call) const;

  FileHandle standardHandle(StandardStream stream) override;
  bool isConsole(FileHandle handle) override;
  bool fileExists(const std::string& name) override;
  std::string devicePath(const std::string& device) override;
  Opened openFile(const std::string& name, Access access, Disposition disposition) override;
  Transfer readFile(FileHandle handle, std::span<char> buffer) override;
  Transfer writeFile(FileHandle handle, std::span<const char> bytes) override;
  OsError cutFile(FileHandle handle, std::uint64_t position) override;
  OsError closeFile(FileHandle handle) override;
  std::vector<std::string> arguments() override { return commandLineArguments; }
  std::optional<std::string> environmentVariable(const std::string& name) override;
  bool interpreterParsesCommands() override {
    return parsingInterpreter.value_or(real_.interpreterParsesCommands());
  }
  Started startProcess(char* commandLine) override;
  int waitForProcess(ProcessHandle process) override { return real_.waitForProcess(process); }
  void recordFailureCause(int cause) override { real_.recordFailureCause(cause); }
  int lastFailureCause() override { return real_.lastFailureCause(); }
  [[noreturn]] void exitProcess(int status) override { throw ProcessExit{status}; }

 private:
  struct Fault {
    Call call;
    int nth;
    OsError error;
    bool persistent;
  };
  // Counts the call and returns the error of a fault armed for it, if any.
  OsError count(Call call);
  static std::optional<StandardStream> streamOf(FileHandle handle);

  Platform& real_;
  std::vector<Fault> faults_;
  std::map<Call, int> calls_;
  std::size_t inputPosition_ = 0;
};

}  // namespace trovel::test
