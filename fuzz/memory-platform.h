#pragma once
// A platform with one file held in memory, for fuzzing the input code
// without touching the disk. The file can be handed out in chunks smaller
// than the reader asks for, as a pipe or a slow device would; the end of the
// process becomes a thrown ProcessExit.

#include <cstddef>
#include <string>
#include <string_view>

#include "host/platform.h"

namespace trovel::fuzz {

struct ProcessExit {
  int status;
};

class MemoryPlatform final : public Platform {
 public:
  // `file` is the content of the one file called `name`; each read request
  // moves at most `chunk` bytes.
  MemoryPlatform(std::string name, std::string_view file, std::size_t chunk)
      : name_(std::move(name)), file_(file), chunk_(chunk) {}

  std::string standardOutput;
  std::string standardError;
  int openHandles() const { return openHandles_; }
  bool wroteToFile() const { return wroteToFile_; }

  FileHandle standardHandle(StandardStream stream) override;
  bool isConsole(FileHandle) override { return false; }
  bool fileExists(const std::string& name) override { return name == name_; }
  std::string devicePath(const std::string& device) override { return device; }
  Opened openFile(const std::string& name, Access access, Disposition disposition) override;
  Transfer readFile(FileHandle handle, std::span<char> buffer) override;
  Transfer writeFile(FileHandle handle, std::span<const char> bytes) override;
  OsError cutFile(FileHandle handle, std::uint64_t position) override;
  OsError closeFile(FileHandle handle) override;
  std::vector<std::string> arguments() override { return {}; }
  std::optional<std::string> environmentVariable(const std::string&) override {
    return std::nullopt;
  }
  bool interpreterParsesCommands() override { return false; }
  Started startProcess(char*) override { return Started{{}, OsError::NotFound}; }
  int waitForProcess(ProcessHandle) override { return -1; }
  void recordFailureCause(int cause) override { cause_ = cause; }
  int lastFailureCause() override { return cause_; }
  [[noreturn]] void exitProcess(int status) override { throw ProcessExit{status}; }

 private:
  static constexpr std::intptr_t kFileHandle = 100;

  std::string name_;
  std::string_view file_;
  std::size_t chunk_;
  std::size_t position_ = 0;
  int openHandles_ = 0;
  bool wroteToFile_ = false;
  int cause_ = 0;
};

}  // namespace trovel::fuzz
