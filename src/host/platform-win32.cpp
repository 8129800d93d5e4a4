// The platform layer on Windows. Only Win32 calls live here.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>

#include "host/platform.h"

namespace trovel {
namespace {

// Marks a cause recorded by the command runner, so that it cannot be taken for a system error.
constexpr DWORD kCauseMark = 0x2FFF0000;

OsError classify(DWORD code) {
  switch (code) {
    case ERROR_SUCCESS:
      return OsError::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return OsError::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_NOT_READY:
      return OsError::AccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return OsError::AlreadyExists;
    case ERROR_TOO_MANY_OPEN_FILES:
      return OsError::TooManyOpenFiles;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return OsError::DiskFull;
    case ERROR_BAD_FORMAT:
    case ERROR_BAD_EXE_FORMAT:
      return OsError::NotExecutable;
    default:
      return OsError::Other;
  }
}

// A failed process start, in the classes the command runner tells apart.
OsError startError(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return OsError::NotFound;
    case ERROR_BAD_FORMAT:
    case ERROR_BAD_EXE_FORMAT:
      return OsError::NotExecutable;
    default:
      return OsError::Other;
  }
}

HANDLE handleOf(FileHandle handle) {
  return reinterpret_cast<HANDLE>(handle.value);
}

FileHandle fileHandle(HANDLE handle) {
  return FileHandle{reinterpret_cast<std::intptr_t>(handle)};
}

DWORD desiredAccess(Access access) {
  switch (access) {
    case Access::ReadWrite:
      return GENERIC_READ | GENERIC_WRITE;
    case Access::Read:
      return GENERIC_READ;
    case Access::Write:
      return GENERIC_WRITE;
  }
  return 0;
}

class Win32Platform final : public Platform {
 public:
  Win32Platform(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i]);
  }

  FileHandle standardHandle(StandardStream stream) override {
    static constexpr DWORD kIds[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    return fileHandle(GetStdHandle(kIds[static_cast<int>(stream)]));
  }

  bool isConsole(FileHandle handle) override {
    return GetFileType(handleOf(handle)) == FILE_TYPE_CHAR;
  }

  bool fileExists(const std::string& name) override {
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::string devicePath(const std::string& device) override { return device; }

  Opened openFile(const std::string& name, Access access, Disposition disposition) override {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const DWORD create = disposition == Disposition::CreateNew ? CREATE_NEW : OPEN_EXISTING;
    HANDLE handle =
        CreateFileA(name.c_str(), desiredAccess(access), FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inheritable, create, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Opened{{}, classify(GetLastError())};
    SetLastError(ERROR_SUCCESS);
    if (GetFileType(handle) == FILE_TYPE_UNKNOWN && GetLastError() != ERROR_SUCCESS) {
      CloseHandle(handle);
      return Opened{{}, OsError::Other};
    }
    return Opened{fileHandle(handle), OsError::None};
  }

  Transfer readFile(FileHandle handle, std::span<char> buffer) override {
    DWORD count = 0;
    if (!ReadFile(handleOf(handle), buffer.data(), static_cast<DWORD>(buffer.size()), &count,
                  nullptr)) {
      const DWORD error = GetLastError();
      // A pipe whose writer has gone has simply ended.
      if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF)
        return Transfer{0, OsError::None};
      return Transfer{0, classify(error)};
    }
    return Transfer{count, OsError::None};
  }

  Transfer writeFile(FileHandle handle, std::span<const char> bytes) override {
    DWORD count = 0;
    if (!WriteFile(handleOf(handle), bytes.data(), static_cast<DWORD>(bytes.size()), &count,
                   nullptr)) {
      return Transfer{0, classify(GetLastError())};
    }
    return Transfer{count, OsError::None};
  }

  OsError cutFile(FileHandle handle, std::uint64_t position) override {
    LARGE_INTEGER size;
    // At the file's length nothing changes; that holds for a read-only handle too.
    if (GetFileSizeEx(handleOf(handle), &size) &&
        static_cast<std::uint64_t>(size.QuadPart) == position) {
      return OsError::None;
    }
    LONG high = static_cast<LONG>(position >> 32);
    if (SetFilePointer(handleOf(handle), static_cast<LONG>(position & 0xFFFFFFFFu), &high,
                       FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != ERROR_SUCCESS) {
      return classify(GetLastError());
    }
    if (!SetEndOfFile(handleOf(handle))) return classify(GetLastError());
    return OsError::None;
  }

  OsError closeFile(FileHandle handle) override {
    return CloseHandle(handleOf(handle)) ? OsError::None : classify(GetLastError());
  }

  std::vector<std::string> arguments() override { return arguments_; }

  std::optional<std::string> environmentVariable(const std::string& name) override {
    // The first request offers 261 bytes, the room for a 260-character path;
    // a longer value is read again with the room the system asked for.
    std::string value(261, '\0');
    SetLastError(ERROR_SUCCESS);
    DWORD length =
        GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length > value.size()) {
      value.resize(length);
      length = GetEnvironmentVariableA(name.c_str(), value.data(), length);
    }
    // An empty value also gives 0, but leaves the last error alone.
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    value.resize(length);
    return value;
  }

  // cmd.exe gives its operators, quotes and variable marks a meaning of their own.
  bool interpreterParsesCommands() override { return true; }

  Started startProcess(char* commandLine) override {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
      return Started{{}, startError(GetLastError())};
    }
    CloseHandle(process.hThread);  // only the process is waited for
    return Started{ProcessHandle{reinterpret_cast<std::intptr_t>(process.hProcess)}, OsError::None};
  }

  int waitForProcess(ProcessHandle process) override {
    HANDLE handle = reinterpret_cast<HANDLE>(process.value);
    WaitForSingleObject(handle, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(handle, &code);
    CloseHandle(handle);
    return static_cast<int>(code);
  }

  void recordFailureCause(int cause) override {
    SetLastError(static_cast<DWORD>(cause) | kCauseMark);
  }

  int lastFailureCause() override {
    const DWORD value = GetLastError();
    return (value & 0xFFFF0000u) == kCauseMark ? static_cast<int>(value & 0xFFFFu) : 0;
  }

  [[noreturn]] void exitProcess(int status) override { std::exit(status); }

 private:
  std::vector<std::string> arguments_;
};

}  // namespace

Platform& systemPlatform(int argc, char** argv) {
  static Win32Platform platform(argc, argv);
  return platform;
}

}  // namespace trovel
