#include "host/platform.h"

namespace trovel {

OsError writeAll(Platform& os, FileHandle handle, std::span<const char> bytes) {
  while (!bytes.empty()) {
    const Transfer written = os.writeFile(handle, bytes);
    if (written.error != OsError::None) return written.error;
    if (written.count == 0) return OsError::DiskFull;
    bytes = bytes.subspan(written.count);
  }
  return OsError::None;
}

}  // namespace trovel
