// The launcher of test programs on POSIX systems.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "support/child-process-system.h"

extern char** environ;

namespace trovel::test {

std::string loggedCommandLine(std::string_view commandLine) {
  std::string logged;
  std::size_t start = commandLine.find_first_not_of(' ');
  while (start != std::string_view::npos) {
    const std::size_t end = commandLine.find(' ', start);
    if (!logged.empty()) logged += ' ';
    logged += commandLine.substr(start, end - start);
    start = commandLine.find_first_not_of(' ', end);
  }
  return logged;
}

std::optional<std::string> environmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

namespace system {
namespace {

// Closes the list of file actions however the start ends.
class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;

  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

void check(int code, const std::string& what) {
  if (code != 0) throw std::runtime_error(what + ": " + std::strerror(code));
}

// A program path with a folder in it names a file from this process's folder,
// as on Windows, not from the child's.
std::string programPath(const std::string& program) {
  if (program.find('/') == std::string::npos) return program;
  return std::filesystem::absolute(program).string();
}

}  // namespace

void setEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
  const int result = value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
  if (result != 0) throw std::runtime_error("cannot set " + name);
}

Ending startAndWait(const ChildProgram& child, const StreamFiles& streams) {
  FileActions actions;
  constexpr int kCreate = O_WRONLY | O_CREAT | O_TRUNC;
  if (streams.input) {
    check(posix_spawn_file_actions_addopen(actions.get(), 0, streams.input->c_str(), O_RDONLY, 0),
          "input");
  } else {
    check(posix_spawn_file_actions_addclose(actions.get(), 0), "input");
  }
  check(posix_spawn_file_actions_addopen(actions.get(), 1, streams.output.c_str(), kCreate, 0600),
        "output");
  if (streams.error) {
    check(posix_spawn_file_actions_addopen(actions.get(), 2, streams.error->c_str(), kCreate, 0600),
          "error");
  } else {
    check(posix_spawn_file_actions_addclose(actions.get(), 2), "error");
  }
  if (!child.workingFolder.empty()) {
    check(posix_spawn_file_actions_addchdir_np(actions.get(), child.workingFolder.c_str()),
          "folder");
  }

  const std::string program = programPath(child.program);
  std::vector<std::string> words{program};
  words.insert(words.end(), child.arguments.begin(), child.arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_t pid;
  check(posix_spawnp(&pid, program.c_str(), actions.get(), nullptr, argv.data(), environ),
        "cannot start " + program);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) throw std::runtime_error("cannot wait for " + program);
  }
  const int code = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
  return Ending{code, static_cast<std::size_t>(usage.ru_maxrss) * 1024};
}

}  // namespace system
}  // namespace trovel::test
