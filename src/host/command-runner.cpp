#include "host/command-runner.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "host/interpreter-escape.h"

namespace trovel {
namespace {

constexpr std::size_t kLongestCommand = 1024;
constexpr std::size_t kLongestInterpreterPath = 260;
constexpr std::string_view kDefaultInterpreter = "cmd.exe";
constexpr std::string_view kJoint = " /c ";
// Beside the command the buffer always holds room for the longest interpreter
// path, the joint and the terminator.
constexpr std::size_t kRoomBesideCommand = kLongestInterpreterPath + kJoint.size() + 1;

// Causes of a command that was not started, by their conventional error numbers.
constexpr int kNoSuchFile = 2;
constexpr int kArgumentListTooLong = 7;
constexpr int kExecFormatError = 8;
constexpr int kNotEnoughMemory = 12;

int causeOf(OsError error) {
  switch (error) {
    case OsError::NotFound:
      return kNoSuchFile;
    case OsError::NotExecutable:
      return kExecFormatError;
    default:
      return kNotEnoughMemory;
  }
}

int failWith(Platform& os, int cause) {
  os.recordFailureCause(cause);
  return -1;
}

std::string_view withoutTrailingBlanks(std::string_view text) {
  return text.substr(0, text.find_last_not_of(' ') + 1);  // npos + 1 is 0: an all-blank text
}

std::unique_ptr<char[]> obtainBuffer(Failures& failures, std::size_t size) {
  try {
    return std::make_unique_for_overwrite<char[]>(size);
  } catch (const std::bad_alloc&) {
    failures.raiseFailure(FailureKind::NoMemoryForCommandBuffer);
  }
}

char* copyText(std::string_view text, char* out) {
  return std::ranges::copy(text, out).out;
}

// Composes "<interpreter> /c <command>" in a buffer of its own, starts it and
// releases the buffer. An interpreter path too long to use counts as one that
// does not exist.
Started startInterpreter(Platform& os, Failures& failures, std::string_view command) {
  const bool escaping = os.interpreterParsesCommands();
  const std::size_t commandLength = escaping ? escapedLength(command) : command.size();
  const std::unique_ptr<char[]> buffer = obtainBuffer(failures, commandLength + kRoomBesideCommand);
  const std::optional<std::string> comspec = os.environmentVariable("COMSPEC");
  if (comspec && comspec->size() > kLongestInterpreterPath) return Started{{}, OsError::NotFound};
  const std::string_view interpreter =
      comspec && !comspec->empty() ? std::string_view(*comspec) : kDefaultInterpreter;
  char* end = copyText(interpreter, buffer.get());
  end = copyText(kJoint, end);
  end = escaping ? copyEscaped(command, end) : copyText(command, end);
  *end = '\0';
  return os.startProcess(buffer.get());
}

}  // namespace

int runCommand(Platform& os, Failures& failures, std::string_view commandText) {
  const std::string_view command = withoutTrailingBlanks(commandText);
  if (command.size() > kLongestCommand) return failWith(os, kArgumentListTooLong);
  const Started started = startInterpreter(os, failures, command);
  if (started.error != OsError::None) return failWith(os, causeOf(started.error));
  return os.waitForProcess(started.process);
}

}  // namespace trovel
