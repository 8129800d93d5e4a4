#include "support/test-platform.h"

#include <algorithm>
#include <cstring>

namespace trovel::test {
namespace {

// Standard handles of the fake: values no real handle takes.
constexpr std::intptr_t kStandardBase = -1000;

}  // namespace

void TestPlatform::failAt(Call call, int nth, OsError error, bool persistent) {
  faults_.push_back(Fault{call, nth, error, persistent});
}

int TestPlatform::calls(Call call) const {
  const auto found = calls_.find(call);
  return found == calls_.end() ? 0 : found->second;
}

OsError TestPlatform::count(Call call) {
  const int n = ++calls_[call];
  for (const Fault& fault : faults_) {
    if (fault.call == call && (n == fault.nth || (fault.persistent && n > fault.nth))) {
      return fault.error;
    }
  }
  return OsError::None;
}

std::optional<StandardStream> TestPlatform::streamOf(FileHandle handle) {
  const std::intptr_t index = kStandardBase - handle.value;
  if (index < 0 || index > 2) return std::nullopt;
  return static_cast<StandardStream>(index);
}

FileHandle TestPlatform::standardHandle(StandardStream stream) {
  return FileHandle{kStandardBase - static_cast<std::intptr_t>(stream)};
}

bool TestPlatform::isConsole(FileHandle handle) {
  return streamOf(handle) == StandardStream::Input ? consoleInput : false;
}

bool TestPlatform::fileExists(const std::string& name) {
  if (count(Call::FileExists) != OsError::None) return false;
  return real_.fileExists(name);
}

std::string TestPlatform::devicePath(const std::string& device) {
  return real_.devicePath(device);
}

Opened TestPlatform::openFile(const std::string& name, Access access, Disposition disposition) {
  if (const OsError error = count(Call::OpenFile); error != OsError::None) return Opened{{}, error};
  return real_.openFile(name, access, disposition);
}

Transfer TestPlatform::readFile(FileHandle handle, std::span<char> buffer) {
  if (const OsError error = count(Call::ReadFile); error != OsError::None) {
    return Transfer{0, error};
  }
  if (streamOf(handle) != StandardStream::Input) return real_.readFile(handle, buffer);
  std::size_t available = standardInput.size() - inputPosition_;
  if (consoleInput) {
    // A console hands over one line, with its line end, per request.
    const std::size_t end = standardInput.find('\n', inputPosition_);
    if (end != std::string::npos) available = end + 1 - inputPosition_;
  }
  const std::size_t n = std::min(available, buffer.size());
  std::memcpy(buffer.data(), standardInput.data() + inputPosition_, n);
  inputPosition_ += n;
  return Transfer{n, OsError::None};
}

Transfer TestPlatform::writeFile(FileHandle handle, std::span<const char> bytes) {
  const std::optional<StandardStream> stream = streamOf(handle);
  if (stream == StandardStream::Output) {
    standardOutput.append(bytes.data(), bytes.size());
    return Transfer{bytes.size(), OsError::None};
  }
  if (stream == StandardStream::Error) {
    if (const OsError error = count(Call::WriteStandardError); error != OsError::None) {
      return Transfer{0, error};
    }
    standardError.append(bytes.data(), bytes.size());
    return Transfer{bytes.size(), OsError::None};
  }
  if (const OsError error = count(Call::WriteFile); error != OsError::None) {
    return Transfer{0, error};
  }
  return real_.writeFile(handle, bytes.first(std::min(bytes.size(), maxWriteBytes)));
}

OsError TestPlatform::cutFile(FileHandle handle, std::uint64_t position) {
  if (const OsError error = count(Call::CutFile); error != OsError::None) return error;
  return real_.cutFile(handle, position);
}

OsError TestPlatform::closeFile(FileHandle handle) {
  if (const OsError error = count(Call::CloseFile); error != OsError::None) {
    real_.closeFile(handle);  // the handle is released all the same
    return error;
  }
  return real_.closeFile(handle);
}

std::optional<std::string> TestPlatform::environmentVariable(const std::string& name) {
  const auto found = environment.find(name);
  if (found != environment.end()) return found->second;
  return real_.environmentVariable(name);
}

Started TestPlatform::startProcess(char* commandLine) {
  if (const OsError error = count(Call::StartProcess); error != OsError::None) {
    return Started{{}, error};
  }
  return real_.startProcess(commandLine);
}

}  // namespace trovel::test
