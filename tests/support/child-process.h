#pragma once
// Starting programs from tests: the built programs, the stand-in interpreter,
// and a launcher that runs a program in a chosen folder with chosen
// environment and standard input, and hands back what it wrote and its exit code.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trovel::test {

// Paths of the programs built for the tests, as this system starts them.
std::string trovelPath();
std::string stubInterpreterPath();  // see stub-interpreter.cpp
std::string echoChildPath();        // see echo-child.cpp

// What the stub interpreter logs (without its line feed) when started with
// `commandLine`: the line itself on Windows; elsewhere its words, which are
// split at blanks, joined by one blank.
std::string loggedCommandLine(std::string_view commandLine);

// Variables to set, or with no value to remove.
using Environment = std::vector<std::pair<std::string, std::optional<std::string>>>;

// A variable of this process's own environment (the one the programs it
// starts inherit), or nothing when it is not set.
std::optional<std::string> environmentValue(const std::string& name);

// Changes this process's environment for as long as it lives, then restores
// it. On Windows this is the way to give a child a COMSPEC of the test's choice.
class EnvironmentOverride {
 public:
  explicit EnvironmentOverride(const Environment& changes);
  EnvironmentOverride(const std::string& name, const std::optional<std::string>& value)
      : EnvironmentOverride(Environment{{name, value}}) {}
  ~EnvironmentOverride();
  EnvironmentOverride(const EnvironmentOverride&) = delete;
  EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

 private:
  Environment previous_;
};

struct ChildProgram {
  std::string program;  // a path, or a name looked up as the system looks up commands
  std::vector<std::string> arguments = {};
  std::filesystem::path workingFolder = {};  // empty: this process's current folder
  Environment environment = {};              // changes to the inherited environment
  // The bytes of standard input (read from a file, so "" ends at once); with
  // no value the child's standard input is closed.
  std::optional<std::string> standardInput = "";
  bool standardErrorClosed = false;  // start the child with no standard error at all
};

struct ChildResult {
  int exitCode = 0;  // 128 + the signal's number for a program ended by a signal
  // The largest resident size of the child. On POSIX systems it includes the
  // launcher's own, which the child shares until it starts the program; on
  // Windows it is sampled while the child runs, every few milliseconds.
  std::optional<std::size_t> peakMemoryBytes;
  std::string standardOutput;
  std::string standardError;
};

// Starts the program, waits for it and returns its exit code and every byte it
// wrote to standard output and standard error. Throws std::runtime_error when
// the program cannot be started.
ChildResult runChild(const ChildProgram& child);

}  // namespace trovel::test
