#include "memory-platform.h"

#include <algorithm>
#include <cstring>

namespace trovel::fuzz {

FileHandle MemoryPlatform::standardHandle(StandardStream stream) {
  return FileHandle{static_cast<std::intptr_t>(stream)};
}

Opened MemoryPlatform::openFile(const std::string& name, Access, Disposition disposition) {
  if (name != name_) return Opened{{}, OsError::NotFound};
  if (disposition == Disposition::CreateNew) return Opened{{}, OsError::AlreadyExists};
  position_ = 0;
  ++openHandles_;
  return Opened{FileHandle{kFileHandle}, OsError::None};
}

Transfer MemoryPlatform::readFile(FileHandle handle, std::span<char> buffer) {
  if (handle.value != kFileHandle) return Transfer{0, OsError::None};  // standard input is empty
  const std::size_t count = std::min({chunk_, buffer.size(), file_.size() - position_});
  std::memcpy(buffer.data(), file_.data() + position_, count);
  position_ += count;
  return Transfer{count, OsError::None};
}

Transfer MemoryPlatform::writeFile(FileHandle handle, std::span<const char> bytes) {
  if (handle.value == static_cast<std::intptr_t>(StandardStream::Output)) {
    standardOutput.append(bytes.data(), bytes.size());
  } else if (handle.value == static_cast<std::intptr_t>(StandardStream::Error)) {
    standardError.append(bytes.data(), bytes.size());
  } else {
    wroteToFile_ = true;
  }
  return Transfer{bytes.size(), OsError::None};
}

OsError MemoryPlatform::cutFile(FileHandle, std::uint64_t) {
  wroteToFile_ = true;
  return OsError::None;
}

OsError MemoryPlatform::closeFile(FileHandle handle) {
  if (handle.value == kFileHandle) --openHandles_;
  return OsError::None;
}

}  // namespace trovel::fuzz
