// The launcher of test programs on Windows.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <algorithm>

#include <stdexcept>

#include "support/child-process-system.h"

namespace trovel::test {
namespace {

// One argument as the C runtime's command-line parser gives it back: quoted
// when it holds blanks or quotes or is empty, with backslashes doubled where
// they come before a quote.
std::string quotedArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + '"';
}

// The program's own name is taken up to the next blank, or between quotes, without escapes.
std::string commandLineOf(const ChildProgram& child) {
  const bool blanks = child.program.find_first_of(" \t") != std::string::npos;
  std::string line = blanks ? '"' + child.program + '"' : child.program;
  for (const std::string& argument : child.arguments) line += ' ' + quotedArgument(argument);
  return line;
}

// A handle that the child inherits, closed when it goes.
class InheritedFile {
 public:
  InheritedFile(const std::filesystem::path& file, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    handle_ = CreateFileA(file.string().c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          &inheritable, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + file.string());
  }
  ~InheritedFile() { CloseHandle(handle_); }
  InheritedFile(const InheritedFile&) = delete;
  InheritedFile& operator=(const InheritedFile&) = delete;

  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

std::string loggedCommandLine(std::string_view commandLine) {
  return std::string(commandLine);
}

std::optional<std::string> environmentValue(const std::string& name) {
  SetLastError(ERROR_SUCCESS);
  const DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (size == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  std::string value(size, '\0');
  value.resize(GetEnvironmentVariableA(name.c_str(), value.data(), size));
  return value;
}

namespace system {

void setEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
  if (!SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr)) {
    // Removing a variable that is not set fails; that is what was asked for.
    if (value || GetLastError() != ERROR_ENVVAR_NOT_FOUND) {
      throw std::runtime_error("cannot set " + name);
    }
  }
}

Ending startAndWait(const ChildProgram& child, const StreamFiles& streams) {
  std::optional<InheritedFile> input;
  if (streams.input) input.emplace(*streams.input, GENERIC_READ, OPEN_EXISTING);
  const InheritedFile output(streams.output, GENERIC_WRITE, CREATE_ALWAYS);
  std::optional<InheritedFile> error;
  if (streams.error) error.emplace(*streams.error, GENERIC_WRITE, CREATE_ALWAYS);

  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input ? input->get() : nullptr;
  startup.hStdOutput = output.get();
  startup.hStdError = error ? error->get() : nullptr;
  std::string commandLine = commandLineOf(child);
  const std::string folder = child.workingFolder.string();
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    throw std::runtime_error("cannot start " + commandLine + ": error " +
                             std::to_string(GetLastError()));
  }
  CloseHandle(process.hThread);
  // The counters of a process are gone once it has ended, so its peak is
  // read while it runs.
  std::optional<std::size_t> peak;
  do {
    PROCESS_MEMORY_COUNTERS counters{};
    if (K32GetProcessMemoryInfo(process.hProcess, &counters, sizeof(counters)) &&
        counters.PeakWorkingSetSize > 0) {
      peak = std::max(peak.value_or(0), counters.PeakWorkingSetSize);
    }
  } while (WaitForSingleObject(process.hProcess, 5) == WAIT_TIMEOUT);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  return Ending{static_cast<int>(code), peak};
}

}  // namespace system
}  // namespace trovel::test
