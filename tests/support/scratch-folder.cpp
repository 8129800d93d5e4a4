#include "support/scratch-folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace trovel::test {

TemporaryFolder::TemporaryFolder() {
  static std::atomic<unsigned> serial{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (;;) {
    path_ = std::filesystem::temp_directory_path() /
            ("trovel-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ScratchFolder::ScratchFolder() : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(folder_.path());
}

ScratchFolder::~ScratchFolder() {
  // Back out of the folder before it is removed.
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace trovel::test
