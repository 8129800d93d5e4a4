#pragma once
// The program's one door to the operating system. platform-posix.cpp and
// platform-win32.cpp implement it; tests put a fake in its place to make the
// system refuse at a chosen call. Errors come back as a small class, never as
// errno or a GetLastError code, so the code above this layer is the same on
// both systems.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace trovel {

// What went wrong in a system call, in the few classes the program tells apart.
enum class OsError {
  None,
  NotFound,       // file or folder of its path missing, bad drive or network path, name too long
  AccessDenied,   // access refused, sharing or lock violation, write-protected or not-ready medium
  AlreadyExists,  // an exclusive creation met an existing file
  TooManyOpenFiles,  // no free low-level file slot
  DiskFull,          // the medium is full
  NotExecutable,     // a process start found a file that is not a program
  Other,             // invalid name or parameter, and everything without a class of its own
};

struct FileHandle {
  std::intptr_t value = -1;
  friend bool operator==(FileHandle, FileHandle) = default;
};

struct ProcessHandle {
  std::intptr_t value = -1;
};

enum class StandardStream { Input, Output, Error };
enum class Access { ReadWrite, Read, Write };
enum class Disposition { OpenExisting, CreateNew };

// The outcome of one read or write request: the bytes moved, or the error.
struct Transfer {
  std::size_t count = 0;
  OsError error = OsError::None;
};

struct Opened {
  FileHandle handle;
  OsError error = OsError::None;
};

struct Started {
  ProcessHandle process;
  OsError error = OsError::None;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The process's standard streams. They are never opened or closed here.
  virtual FileHandle standardHandle(StandardStream stream) = 0;
  // True when the handle is an interactive console, where one read request
  // returns one typed line with its line end.
  virtual bool isConsole(FileHandle handle) = 0;

  // True when something of that name exists, a folder included.
  virtual bool fileExists(const std::string& name) = 0;
  // The name under which the system device called `device` (upper case, such as
  // "NUL" or "COM1") is opened as an existing file.
  virtual std::string devicePath(const std::string& device) = 0;
  // Opens or creates a file for raw bytes: shared for reading and writing with
  // other openers, inheritable by child processes. A handle of a file type the
  // system cannot tell is closed and reported as Other.
  virtual Opened openFile(const std::string& name, Access access, Disposition disposition) = 0;
  // One read request; a count of 0 with no error is the end of the file.
  virtual Transfer readFile(FileHandle handle, std::span<char> buffer) = 0;
  // One write request; the count may be short of the bytes offered.
  virtual Transfer writeFile(FileHandle handle, std::span<const char> bytes) = 0;
  // Ends the file at `position`, removing everything after it.
  virtual OsError cutFile(FileHandle handle, std::uint64_t position) = 0;
  virtual OsError closeFile(FileHandle handle) = 0;

  // The command-line arguments after the program's own name, split by the system's usual rules.
  virtual std::vector<std::string> arguments() = 0;
  // The value of an environment variable (possibly empty), or nothing when it is not set.
  virtual std::optional<std::string> environmentVariable(const std::string& name) = 0;
  // True when the command interpreter parses the command line itself, giving
  // characters such as & | < > " % a meaning of their own (cmd.exe); false
  // where the line is only split into words at blanks.
  virtual bool interpreterParsesCommands() = 0;
  // Starts `commandLine` (a NUL-terminated text the call may modify) with the
  // standard handles inherited, in the same console, environment and folder.
  // Its first word names the program. NotFound: the program or a folder of its
  // path is missing; NotExecutable: the file is not a program it can run.
  virtual Started startProcess(char* commandLine) = 0;
  // Waits without limit for the process to end, releases its handle and returns its exit code.
  virtual int waitForProcess(ProcessHandle process) = 0;
  // Keeps the cause of an unsuccessful command start where the system keeps a
  // thread's last error, and reads it back.
  virtual void recordFailureCause(int cause) = 0;
  virtual int lastFailureCause() = 0;

  // Ends the process with `status`. Nothing of the program runs after it.
  [[noreturn]] virtual void exitProcess(int status) = 0;
};

// The backend of this build, given the arguments of main().
Platform& systemPlatform(int argc, char** argv);

// Writes all of `bytes` to `handle`, going on after short writes. Returns the
// first error; a request that moves nothing without an error counts as DiskFull.
OsError writeAll(Platform& os, FileHandle handle, std::span<const char> bytes);

}  // namespace trovel
