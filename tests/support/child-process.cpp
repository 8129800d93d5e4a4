#include "support/child-process.h"

#include "support/child-process-system.h"
#include "support/scratch-folder.h"

namespace trovel::test {

std::string trovelPath() {
  return TROVEL_PROGRAM_PATH;
}

std::string stubInterpreterPath() {
  return TROVEL_STUB_INTERPRETER_PATH;
}

std::string echoChildPath() {
  return TROVEL_ECHO_CHILD_PATH;
}

EnvironmentOverride::EnvironmentOverride(const Environment& changes) {
  for (const auto& [name, value] : changes) {
    previous_.emplace_back(name, environmentValue(name));
    system::setEnvironmentValue(name, value);
  }
}

EnvironmentOverride::~EnvironmentOverride() {
  // In reverse, so that a variable named twice gets its first value back.
  for (auto change = previous_.rbegin(); change != previous_.rend(); ++change) {
    system::setEnvironmentValue(change->first, change->second);
  }
}

ChildResult runChild(const ChildProgram& child) {
  const TemporaryFolder folder;
  system::StreamFiles streams{std::nullopt, folder.path() / "output", std::nullopt};
  if (!child.standardErrorClosed) streams.error = folder.path() / "error";
  if (child.standardInput) {
    streams.input = folder.path() / "input";
    writeBytes(*streams.input, *child.standardInput);
  }
  ChildResult result;
  {
    const EnvironmentOverride environment(child.environment);
    const system::Ending ending = system::startAndWait(child, streams);
    result.exitCode = ending.exitCode;
    result.peakMemoryBytes = ending.peakMemoryBytes;
  }
  result.standardOutput = readBytes(streams.output);
  if (streams.error) result.standardError = readBytes(*streams.error);
  return result;
}

}  // namespace trovel::test
