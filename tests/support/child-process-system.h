#pragma once
// What each system's file (child-process-posix.cpp, child-process-win32.cpp)
// supplies to the portable part of the launcher.

#include <filesystem>
#include <optional>
#include <string>

#include "support/child-process.h"

namespace trovel::test::system {

void setEnvironmentValue(const std::string& name, const std::optional<std::string>& value);

// The files that take the place of the child's standard streams; no input
// or error file: that stream closed.
struct StreamFiles {
  std::optional<std::filesystem::path> input;
  std::filesystem::path output;
  std::optional<std::filesystem::path> error;
};

struct Ending {
  int exitCode;
  std::optional<std::size_t> peakMemoryBytes;
};

// Starts the program in its folder with these streams (the environment is the
// current one), waits for it and returns its exit code and peak memory.
// Throws std::runtime_error when it cannot be started.
Ending startAndWait(const ChildProgram& child, const StreamFiles& streams);

}  // namespace trovel::test::system
