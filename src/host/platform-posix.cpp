// The platform layer on POSIX systems. Only POSIX calls live here.

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "host/platform.h"

extern char** environ;

namespace trovel {
namespace {

OsError classify(int code) {
  switch (code) {
    case 0:
      return OsError::None;
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ENXIO:
    case ENODEV:
      return OsError::NotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
    case EBADF:  // a write on a handle opened for reading only
      return OsError::AccessDenied;
    case EEXIST:
      return OsError::AlreadyExists;
    case EMFILE:
    case ENFILE:
      return OsError::TooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
      return OsError::DiskFull;
    case ENOEXEC:
      return OsError::NotExecutable;
    default:
      return OsError::Other;
  }
}

int fdOf(FileHandle handle) {
  return static_cast<int>(handle.value);
}

int openFlags(Access access, Disposition disposition) {
  constexpr std::array kAccess = {O_RDWR, O_RDONLY, O_WRONLY};
  int flags = kAccess[static_cast<int>(access)] | O_NOCTTY;
  if (disposition == Disposition::CreateNew) flags |= O_CREAT | O_EXCL;
  return flags;
}

// A failed start, in the classes the command runner tells apart. EACCES is a
// file without execute permission or a folder: neither is a program to run.
OsError startError(int code) {
  switch (code) {
    case ENOENT:
    case ENOTDIR:
      return OsError::NotFound;
    case ENOEXEC:
    case EACCES:
      return OsError::NotExecutable;
    default:
      return OsError::Other;
  }
}

// Splits a command line at blanks, as the Windows loader takes its first word
// as the program and leaves the rest to it.
std::vector<std::string> wordsOf(std::string_view line) {
  std::vector<std::string> words;
  std::size_t start = line.find_first_not_of(' ');
  while (start != std::string_view::npos) {
    const std::size_t end = line.find(' ', start);
    words.emplace_back(line.substr(start, end - start));
    start = line.find_first_not_of(' ', end);
  }
  return words;
}

// True unless the program that `name` names is certainly missing: a name
// with a slash as a path, a bare name in every folder of PATH (an empty entry
// is the current folder). posix_spawnp makes its search in a new process, so
// a missing program is told here without starting one, as on Windows.
bool mayExist(const std::string& name) {
  const auto missing = [](const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
  };
  if (name.find('/') != std::string::npos) return !missing(name);
  const char* path = std::getenv("PATH");
  std::string_view folders = path != nullptr ? path : "/bin:/usr/bin";
  for (;;) {
    const std::size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    if (!missing((folder.empty() ? std::string(".") : std::string(folder)) + "/" + name)) {
      return true;
    }
    if (colon == std::string_view::npos) return false;
    folders.remove_prefix(colon + 1);
  }
}

// A process started with a standard stream closed would give that number to
// the first file it opens, and a failure report meant for standard error
// would then land in the case file. The null device takes each closed one.
void occupyClosedStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      if (open("/dev/null", O_RDWR) < 0) return;  // the lowest free number: this one
    }
  }
}

class PosixPlatform final : public Platform {
 public:
  PosixPlatform(int argc, char** argv) {
    occupyClosedStandardStreams();
    for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i]);
  }

  FileHandle standardHandle(StandardStream stream) override {
    return FileHandle{static_cast<int>(stream)};
  }

  bool isConsole(FileHandle handle) override { return isatty(fdOf(handle)) == 1; }

  bool fileExists(const std::string& name) override {
    struct stat status;
    return stat(name.c_str(), &status) == 0;
  }

  std::string devicePath(const std::string& device) override {
    // The devices a Windows name stands for, where this system has them.
    static const std::array<std::pair<std::string_view, std::string_view>, 10> kDevices = {{
        {"NUL", "/dev/null"},
        {"PRN", "/dev/lp0"},
        {"LPT1", "/dev/lp0"},
        {"LPT2", "/dev/lp1"},
        {"LPT3", "/dev/lp2"},
        {"LPT4", "/dev/lp3"},
        {"COM1", "/dev/ttyS0"},
        {"COM2", "/dev/ttyS1"},
        {"COM3", "/dev/ttyS2"},
        {"COM4", "/dev/ttyS3"},
    }};
    for (const auto& [name, path] : kDevices) {
      if (name == device) return std::string(path);
    }
    return device;
  }

  Opened openFile(const std::string& name, Access access, Disposition disposition) override {
    int fd;
    do {
      fd = open(name.c_str(), openFlags(access, disposition), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return Opened{{}, classify(errno)};
    // A folder opens for reading here but not on Windows; refuse it the same way.
    struct stat status;
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
      close(fd);
      return Opened{{}, OsError::AccessDenied};
    }
    return Opened{FileHandle{fd}, OsError::None};
  }

  Transfer readFile(FileHandle handle, std::span<char> buffer) override {
    ssize_t count;
    do {
      count = read(fdOf(handle), buffer.data(), buffer.size());
    } while (count < 0 && errno == EINTR);
    if (count < 0) return Transfer{0, classify(errno)};
    return Transfer{static_cast<std::size_t>(count), OsError::None};
  }

  Transfer writeFile(FileHandle handle, std::span<const char> bytes) override {
    ssize_t count;
    do {
      count = write(fdOf(handle), bytes.data(), bytes.size());
    } while (count < 0 && errno == EINTR);
    if (count < 0) return Transfer{0, classify(errno)};
    return Transfer{static_cast<std::size_t>(count), OsError::None};
  }

  OsError cutFile(FileHandle handle, std::uint64_t position) override {
    struct stat status;
    if (fstat(fdOf(handle), &status) != 0) return classify(errno);
    // Only a regular file has a length to cut; at its length nothing changes.
    if (!S_ISREG(status.st_mode) || static_cast<std::uint64_t>(status.st_size) == position) {
      return OsError::None;
    }
    const auto offset = static_cast<off_t>(position);
    if (ftruncate(fdOf(handle), offset) != 0) {
      return errno == EINVAL ? OsError::AccessDenied : classify(errno);
    }
    if (lseek(fdOf(handle), offset, SEEK_SET) < 0) return classify(errno);
    return OsError::None;
  }

  OsError closeFile(FileHandle handle) override {
    // Never retried: after EINTR the descriptor is already gone on Linux.
    return close(fdOf(handle)) == 0 ? OsError::None : classify(errno);
  }

  std::vector<std::string> arguments() override { return arguments_; }

  std::optional<std::string> environmentVariable(const std::string& name) override {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  }

  // No interpreter reads the line here: its words go to the program as they stand.
  bool interpreterParsesCommands() override { return false; }

  // The first word is looked up on PATH like a command; no shell is involved,
  // and glibc's posix_spawnp reports a file that is no program as ENOEXEC
  // rather than handing it to /bin/sh.
  Started startProcess(char* commandLine) override {
    std::vector<std::string> words = wordsOf(commandLine);
    if (words.empty() || !mayExist(words[0])) return Started{{}, OsError::NotFound};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid;
    const int code = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (code != 0) return Started{{}, startError(code)};
    return Started{ProcessHandle{pid}, OsError::None};
  }

  // A program ended by a signal gives 128 + the signal's number, as shells report it.
  int waitForProcess(ProcessHandle process) override {
    int status = 0;
    while (waitpid(static_cast<pid_t>(process.value), &status, 0) < 0) {
      if (errno != EINTR) return -1;
    }
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
  }

  // errno is the thread's last error here, and the causes are errno values.
  static_assert(ENOENT == 2 && E2BIG == 7 && ENOEXEC == 8 && ENOMEM == 12);
  void recordFailureCause(int cause) override { errno = cause; }
  int lastFailureCause() override { return errno; }

  [[noreturn]] void exitProcess(int status) override { std::exit(status); }

 private:
  std::vector<std::string> arguments_;
};

}  // namespace

Platform& systemPlatform(int argc, char** argv) {
  static PosixPlatform platform(argc, argv);
  return platform;
}

}  // namespace trovel
